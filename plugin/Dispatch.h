#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Action numbers to routines. Each subsystem installs the run-time and edit
// routines of its actions here; a number with no routine answers false.
namespace zenvas {

// The parameter texts of one call, copied from the host's array.
using Params = std::vector<std::string>;

// A run-time routine. May throw: the dispatch turns any failure that escapes
// into false.
using RunRoutine = bool (*)(const Params& params);

// An edit routine over the host's parameter slots: as many as the action
// has, or none when the host passed no array.
using EditRoutine = bool (*)(std::span<char*> slots);

struct ActionRoutines {
    int number;
    RunRoutine run;
    EditRoutine edit;
};

// Installs routines; a later installation for the same number replaces the
// earlier one. Returns true so it can initialise a namespace-scope constant.
bool InstallRoutines(std::span<const ActionRoutines> routines);
bool InstallRunRoutine(int number, RunRoutine routine);
bool InstallEditRoutine(int number, EditRoutine routine);
RunRoutine FindRunRoutine(int number);
EditRoutine FindEditRoutine(int number);

// Runs action `number` over the host's parameter array. Numbers outside
// 1..52 and actions without a routine give false; a failure escaping the
// routine gives false.
bool ExecuteAction(std::int32_t number, char** params);

// Runs the edit routine of action `number` over the host's slots.
bool EditAction(std::int32_t number, char** slots);

// Work to do when the host asks for every canvas to be released (message 2).
using ReleaseHandler = void (*)();
bool InstallReleaseHandler(ReleaseHandler handler);
// Runs the release handlers, then trims working memory to nothing.
void ReleaseAll();

// Working memory that subsystems keep from call to call (copies of a
// picture, running sums) is held to what the live canvases need: after
// every action each trim handler gives back what it holds beyond the
// memory bound (the canvas list installs the size of its largest picture),
// and message 2 trims it to nothing. Handlers must not throw.
using TrimHandler = void (*)(std::size_t bytes);
bool InstallTrimHandler(TrimHandler handler);
using MemoryBound = std::size_t (*)();
bool InstallMemoryBound(MemoryBound bound);
void TrimWorkingMemory(std::size_t bytes);

} // namespace zenvas
