#include "host/Variables.h"

#include "host/Script.h"

namespace host {

std::string VariableStore::get(std::string_view name) const
{
    auto found = values_.find(foldName(name));
    return found == values_.end() ? std::string() : found->second;
}

void VariableStore::set(std::string_view name, std::string_view value)
{
    values_[foldName(name)] = std::string(value);
}

bool VariableStore::has(std::string_view name) const
{
    return values_.count(foldName(name)) != 0;
}

std::string substitute(std::string_view text, const VariableStore& variables)
{
    std::string result;
    result.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t open = text.find('[', i);
        if (open == std::string_view::npos)
            break;
        std::size_t close = text.find(']', open + 1);
        if (close == std::string_view::npos)
            break;
        // With "[a [b]" the name is the innermost "b": the first '[' is text.
        std::size_t inner = text.rfind('[', close);
        result.append(text.substr(i, inner - i));
        result += variables.get(text.substr(inner + 1, close - inner - 1));
        i = close + 1;
    }
    result.append(text.substr(i));
    return result;
}

std::string_view variableName(std::string_view written)
{
    if (written.size() >= 2 && written.front() == '[' && written.back() == ']')
        return written.substr(1, written.size() - 2);
    return written;
}

} // namespace host
