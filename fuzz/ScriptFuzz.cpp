// The host's script parser over any text: errors or a script whose block
// jumps and labels all point inside it at the right kind of statement.
#include "host/Script.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<host::ScriptError> errors;
    const host::Script script = host::parseScript(text, "fuzz.zhs", errors);
    if (!errors.empty())
        return 0;
    const auto& statements = script.statements;
    if (script.mainEnd > statements.size())
        std::abort();
    for (std::size_t i = 0; i < statements.size(); ++i) {
        const host::Statement& s = statements[i];
        if (s.kind == host::StatementKind::If || s.kind == host::StatementKind::Else) {
            if (s.jump <= i || s.jump >= statements.size())
                std::abort();
            const host::StatementKind target = statements[s.jump].kind;
            if (target != host::StatementKind::EndIf &&
                !(s.kind == host::StatementKind::If && target == host::StatementKind::Else))
                std::abort();
        }
        if (s.kind == host::StatementKind::While
            && (s.jump <= i || s.jump >= statements.size() || statements[s.jump].kind != host::StatementKind::EndWhile
                || statements[s.jump].jump != i))
            std::abort();
    }
    for (const auto& [name, at] : script.labels)
        if (at >= statements.size() || statements[at].kind != host::StatementKind::Label ||
            script.findLabel(statements[at].word) != at)
            std::abort();
    return 0;
}
