#include "plugin/Dispatch.h"

#include "plugin/ActionTable.h"
#include "plugin/Reasons.h"

#include <array>
#include <string>

namespace zenvas {
namespace {

struct RoutineTable {
    std::array<RunRoutine, kActionCount + 1> run{};
    std::array<EditRoutine, kActionCount + 1> edit{};
    std::vector<ReleaseHandler> release;
    std::vector<TrimHandler> trim;
    MemoryBound bound = nullptr;
};

RoutineTable& Table()
{
    static RoutineTable table;
    return table;
}

bool InRange(int number)
{
    return number >= 1 && number <= kActionCount;
}

} // namespace

bool InstallRunRoutine(int number, RunRoutine routine)
{
    if (!InRange(number))
        return false;
    Table().run[static_cast<std::size_t>(number)] = routine;
    return true;
}

bool InstallEditRoutine(int number, EditRoutine routine)
{
    if (!InRange(number))
        return false;
    Table().edit[static_cast<std::size_t>(number)] = routine;
    return true;
}

bool InstallRoutines(std::span<const ActionRoutines> routines)
{
    bool all = true;
    for (const auto& entry : routines) {
        if (entry.run)
            all = InstallRunRoutine(entry.number, entry.run) && all;
        if (entry.edit)
            all = InstallEditRoutine(entry.number, entry.edit) && all;
    }
    return all;
}

RunRoutine FindRunRoutine(int number)
{
    return InRange(number) ? Table().run[static_cast<std::size_t>(number)] : nullptr;
}

EditRoutine FindEditRoutine(int number)
{
    return InRange(number) ? Table().edit[static_cast<std::size_t>(number)] : nullptr;
}

bool ExecuteAction(std::int32_t number, char** params)
{
    const ActionEntry* entry = FindAction(number);
    if (!entry) {
        RecordActionReason("no action numbered " + std::to_string(number));
        return false;
    }
    const ActionScope scope(entry->name);
    RunRoutine routine = FindRunRoutine(number);
    if (!routine) {
        RecordActionReason("not available in this build");
        return false;
    }
    bool result = false;
    try {
        Params texts;
        texts.reserve(static_cast<std::size_t>(entry->parameterCount()));
        for (std::int32_t i = 0; i < entry->parameterCount(); ++i) {
            const char* text = params ? params[i] : nullptr;
            texts.emplace_back(text ? text : "");
        }
        result = routine(texts);
    } catch (...) {
        RecordCurrentFailure();
    }
    if (Table().bound)
        TrimWorkingMemory(Table().bound());
    return result;
}

bool EditAction(std::int32_t number, char** slots)
{
    const ActionEntry* entry = FindAction(number);
    if (!entry) {
        RecordActionReason("no action numbered " + std::to_string(number));
        return false;
    }
    const ActionScope scope(entry->name);
    EditRoutine routine = FindEditRoutine(number);
    if (!routine) {
        RecordActionReason("no editor in this build");
        return false;
    }
    // Without a slot array the editor still opens, with every slot empty,
    // and has nothing to write back.
    return routine(std::span<char*>(slots, slots ? static_cast<std::size_t>(entry->parameterCount()) : 0));
}

bool InstallReleaseHandler(ReleaseHandler handler)
{
    Table().release.push_back(handler);
    return true;
}

void ReleaseAll()
{
    for (ReleaseHandler handler : Table().release)
        handler();
    TrimWorkingMemory(0);
}

bool InstallTrimHandler(TrimHandler handler)
{
    Table().trim.push_back(handler);
    return true;
}

bool InstallMemoryBound(MemoryBound bound)
{
    Table().bound = bound;
    return true;
}

void TrimWorkingMemory(std::size_t bytes)
{
    for (TrimHandler handler : Table().trim)
        handler(bytes);
}

} // namespace zenvas
