#include "plugin/ActionTable.h"

#include "plugin/HostServices.h"

namespace zenvas {
namespace {

constexpr const auto& kTable = kActionTable;


constexpr bool TableIsConsistent()
{
    int expected = 1;
    for (const auto& entry : kTable) {
        if (entry.isHeading())
            continue;
        if (entry.number != expected++ || entry.typeCount < 1 || entry.typeCount > kMaxParameters)
            return false;
    }
    return expected == kActionCount + 1;
}
static_assert(TableIsConsistent(), "actions must be numbered 1..52 in order");

} // namespace

const std::array<ActionEntry, 54>& ActionTable()
{
    return kTable;
}

const ActionEntry* FindAction(std::int32_t number)
{
    for (const auto& entry : kTable)
        if (!entry.isHeading() && entry.number == number)
            return &entry;
    return nullptr;
}

void RegisterActionTable()
{
    for (const auto& entry : kTable) {
        // The callback may have been replaced by a re-entrant registration.
        auto proc = Host().addAction;
        if (!proc)
            return;
        std::string name(entry.name), hint(entry.hint);
        proc(entry.number, name.c_str(), hint.c_str(), entry.types.data(), entry.highIndex(),
             entry.parameterCount());
    }
}

} // namespace zenvas
