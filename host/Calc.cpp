#include "host/Interpreter.h"

// Calc's integer expressions, read by recursive descent:
//   sum     = product { ("+" | "-") product }
//   product = unary { ("*" | "/" | "%") unary }
//   unary   = "-" unary | "(" sum ")" | digits
// Values are carried in 64 bits and every result is held to 32.
namespace host {

namespace {

class Calculator {
public:
    explicit Calculator(std::string_view text) : text_(text) {}

    std::optional<std::int32_t> run(std::string& problem)
    {
        try {
            skipBlanks();
            if (at_ == text_.size())
                fail("no expression");
            const std::int64_t value = sum();
            if (at_ != text_.size())
                fail("unexpected " + quoted(text_.substr(at_, 1)) + " at character " + std::to_string(at_ + 1));
            return std::int32_t(inRange(value));
        } catch (const std::string& why) {
            problem = why;
            return std::nullopt;
        }
    }

private:
    // Deep nesting is not an expression anyone writes; it must not exhaust
    // the stack either.
    static constexpr int kMaxDepth = 200;

    [[noreturn]] static void fail(const std::string& why) { throw why; }

    static std::int64_t inRange(std::int64_t value)
    {
        if (value < INT32_MIN || value > INT32_MAX)
            fail("the result " + std::to_string(value) + " is outside the 32-bit range");
        return value;
    }

    void skipBlanks()
    {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t'))
            ++at_;
    }

    bool take(char c)
    {
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            skipBlanks();
            return true;
        }
        return false;
    }

    std::int64_t sum()
    {
        std::int64_t value = product();
        while (true) {
            if (take('+'))
                value = inRange(inRange(value) + inRange(product()));
            else if (take('-'))
                value = inRange(inRange(value) - inRange(product()));
            else
                return value;
        }
    }

    std::int64_t product()
    {
        std::int64_t value = unary();
        while (true) {
            const char op = at_ < text_.size() ? text_[at_] : '\0';
            if (op != '*' && op != '/' && op != '%')
                return value;
            take(op);
            const std::int64_t a = inRange(value);
            const std::int64_t b = inRange(unary());
            if (op != '*' && b == 0)
                fail("division by zero");
            value = inRange(op == '*' ? a * b : op == '/' ? a / b : a % b);
        }
    }

    std::int64_t unary()
    {
        if (++depth_ > kMaxDepth)
            fail("nested more than " + std::to_string(kMaxDepth) + " deep");
        std::int64_t value;
        if (take('-')) {
            value = inRange(-unary());
        } else if (take('(')) {
            value = sum();
            if (!take(')'))
                fail(at_ < text_.size() ? "expected ) at character " + std::to_string(at_ + 1) : "a ( is not closed");
        } else {
            value = number();
        }
        --depth_;
        return value;
    }

    // Digits; a literal may reach 2^31 so that -2147483648 can be written.
    std::int64_t number()
    {
        const std::size_t start = at_;
        std::int64_t value = 0;
        bool tooLarge = false;
        for (; at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9'; ++at_) {
            value = value * 10 + (text_[at_] - '0');
            tooLarge = tooLarge || value > std::int64_t(INT32_MAX) + 1;
            if (tooLarge)
                value = 0;
        }
        if (tooLarge)
            fail("the number " + std::string(text_.substr(start, at_ - start)) + " is outside the 32-bit range");
        if (at_ == start)
            fail(at_ < text_.size() ? "expected a number at character " + std::to_string(at_ + 1) + ", found "
                                          + quoted(text_.substr(at_, 1))
                                    : "the expression ends where a number was expected");
        skipBlanks();
        return value;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int depth_ = 0;
};

} // namespace

std::optional<std::int32_t> calculate(std::string_view expression, std::string& problem)
{
    return Calculator(expression).run(problem);
}

} // namespace host
