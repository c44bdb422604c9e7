#include "plugin/HostServices.h"

#include "plugin/HostText.h"

namespace zenvas {

HostCallbacks& Host()
{
    static HostCallbacks callbacks;
    return callbacks;
}

void SetVariable(std::string_view name, std::string_view value)
{
    auto proc = Host().setVariable;
    if (!proc)
        return;
    std::string nameText(name), valueText(value);
    proc(nameText.c_str(), valueText.c_str());
}

void RunSubroutine(std::string_view name)
{
    auto proc = Host().scriptProcessor;
    if (name.empty() || !proc)
        return;
    std::string script = "GoSub \"";
    script += name;
    script += '"';
    proc(script.c_str());
}

namespace {

// Releases the query slot however the query ends.
class QuerySlot {
public:
    explicit QuerySlot(std::string_view text) { AssignHostText(&block_, text); }
    ~QuerySlot() { FreeHostText(&block_); }
    QuerySlot(const QuerySlot&) = delete;
    QuerySlot& operator=(const QuerySlot&) = delete;
    char** slot() { return &block_; }
    std::string text() const { return block_ ? std::string(block_) : std::string(); }

private:
    char* block_ = nullptr;
};

} // namespace

InterfaceAnswer InterfaceAccess(std::int32_t code, std::string_view text)
{
    auto proc = Host().interfaceAccess;
    if (!proc)
        return {false, std::string(text)};
    QuerySlot slot(text);
    bool ok = proc(code, slot.slot()) != ZENVAS_FALSE;
    return {ok, slot.text()};
}

} // namespace zenvas
