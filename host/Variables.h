#pragma once

#include <map>
#include <string>
#include <string_view>

// The project's variables: texts by name, names compared without regard to
// case. A variable never written reads as the empty text.
namespace host {

class VariableStore {
public:
    std::string get(std::string_view name) const;
    void set(std::string_view name, std::string_view value);
    bool has(std::string_view name) const;

private:
    std::map<std::string, std::string> values_; // folded name -> value
};

// Replaces every [name] in `text` by the variable's value. The values are
// inserted as they are (a value holding brackets is not substituted again).
// A '[' without a closing ']' stays as written.
std::string substitute(std::string_view text, const VariableStore& variables);

// Strips one enclosing pair of brackets: "[Color]" and "Color" name the
// same variable.
std::string_view variableName(std::string_view written);

} // namespace host
