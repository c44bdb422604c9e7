// Random sessions through the plug-in's entry points: canvases in two host
// rectangles, actions with parameter texts drawn from the formats they
// take, pointer events anywhere in the 32-bit range, dialog answers, action
// editors driven by random operations, host messages, and click
// subroutines that delete the canvas under them. Each input is one session;
// everything is released at its end.
#include "canvas/CanvasList.h"
#include "platform/backends/scripted/ScriptedAnswers.h"
#include "platform/forms/Cursor.h"
#include "plugin/ActionTable.h"
#include "tests/support/PluginHarness.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

// The input, read a byte at a time; zeros once it runs out.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool done() const { return at_ >= size_; }
    std::uint8_t byte() { return done() ? 0 : data_[at_++]; }
    int pick(int count) { return byte() % count; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

constexpr const char* kTexts[] = {
    "", "R1", "R2", "r1", "Nowhere", "True", "False", "true", "0", "1", "2", "3", "5", "10", "30", "100", "255", "256",
    "300", "-1", "-100", "2147483647", "-2147483648", "4294967295", "$FF", "0x7FFFFFFF", "x10", " 7", "+7", "1e3",
    "255,0,0", "0,128,255", "1,2", "1,2,3,4", "a,b,c", "clRed", "clBtnFace", "clNone", "$FF000005", "10|10|50|50",
    "0|0|2147483647|-2147483648|5|5", "1|2|3", "5|5|40|5|40|40|5|40", "\"1\"|\"2\"", "psDash", "psSolid", "psClear",
    "bsCross", "bsClear", "bsDiagCross", "Arial|clRed|12|fsBold|1", "Times New Roman|clWindowText|60000|fsItalic|204",
    "Arial|clNone|-8|fsUnderline fsStrikeOut|0", "Arial|$FF|0||1", "a.bmp", "b.jpg", "c.jpeg", "d.cur", "e.ani",
    "f.txt", "missing.bmp", "[Var]", "Var", "Sub", "\xCF\xF0\xE8\xE2\xE5\xF2", "Hello, world", "\"", "|||",
};
constexpr int kTextCount = int(sizeof kTexts / sizeof *kTexts);

// A whole number, small or at the edges of the 32-bit range.
long long Number(Reader& in)
{
    constexpr long long kEdges[] = {INT_MIN, INT_MIN + 1, -65536, -32768, -1, 0, 32767, 65535, INT_MAX - 1, INT_MAX};
    const int choice = in.pick(4);
    if (choice == 0)
        return kEdges[in.pick(10)];
    if (choice == 1)
        return -in.pick(200);
    return in.pick(256) + (choice == 3 ? 256 * in.pick(4) : 0);
}

// One parameter text. Numbers stay below 1000 (or far out of range) so that
// no legitimate picture comes near the fuzzer's allocation limit.
std::string Text(Reader& in)
{
    const int kind = in.pick(8);
    if (kind < 4)
        return kTexts[in.pick(kTextCount)];
    if (kind == 4)
        return std::to_string(in.pick(256) + 4 * in.pick(186));
    if (kind == 5 || kind == 6) { // a list of coordinates or colour parts
        std::string list;
        const char separator = kind == 5 ? '|' : ',';
        for (int n = in.pick(9); n >= 0; --n)
            list += std::to_string(n % 3 == 0 ? Number(in) : in.pick(300)) + (n ? std::string(1, separator) : "");
        return list;
    }
    std::string raw; // bytes from the input, kept inside the scratch folder
    for (int n = in.pick(16); n > 0; --n) {
        char c = char(in.byte());
        if (c == '/' || c == '\\' || (c >= '0' && c <= '9'))
            c = '_';
        raw += c;
    }
    return raw;
}

int Coordinate(Reader& in)
{
    return in.pick(3) == 0 ? int(Number(in)) : in.pick(256) - 20;
}

forms::Window& Rectangle(int index)
{
    static forms::Window* rectangles[2] = {};
    if (!rectangles[index]) {
        rectangles[index] = new forms::Window(index == 0 ? "R1" : "R2"); // lives as long as the process
        rectangles[index]->setBounds(index * 320, 0, 300, 200);
    }
    return *rectangles[index];
}

void Act(Reader& in)
{
    const int number = 1 + in.pick(zenvas::kActionCount);
    std::vector<std::string> texts;
    for (int i = 0; i < zenvas::FindAction(number)->parameterCount(); ++i)
        texts.push_back(Text(in));
    harness::Exec(number, texts);
}

void Point(Reader& in, forms::ShiftState& held)
{
    const forms::PointerKind kind = forms::PointerKind(in.pick(3));
    const forms::MouseButton button = forms::MouseButton(in.pick(3));
    if (kind == forms::PointerKind::Down)
        held |= forms::ButtonFlag(button);
    if (kind == forms::PointerKind::Up)
        held &= ~forms::ButtonFlag(button);
    const forms::ShiftState keys = in.byte() & (forms::ssShift | forms::ssAlt | forms::ssCtrl);
    const int x = Coordinate(in), y = Coordinate(in);
    forms::WindowSystem::instance().pointer(Rectangle(in.pick(2)).handle(), kind, button, held | keys, x, y);
}

// An action's editor over random slots, driven by random operations of an
// author (snapshots left out: they write files).
void Edit(Reader& in)
{
    constexpr const char* kSteps[] = {
        "OK", "Cancel", "key:Enter", "key:Escape", "key:Tab", "close", "click:Kn1", "click:SpeedVariable",
        "click:SpeedButton1", "click:SpeedButton2", "click:SpeedButton3", "click:SpeedButton4", "click:SpeedButton5",
        "click:SpeedButton6", "click:SpeedButton7", "click:SpeedButton8", "up:SpinEdit1", "down:SpinEdit2",
        "type:LEdit1=R1", "type:SpinEdit1=-12", "type:LEdit2=\xCF|x", "choose:ComboBox1=True", "choose:ComboBox2=Dash",
        "SpinEdit1=2147483647", "SpinEdit2=-5", "LEdit2=255,0,0", "ComboBox1=.jpg", "click:LinkLabel1",
    };
    constexpr int kStepCount = int(sizeof kSteps / sizeof *kSteps);
    const int number = 1 + in.pick(zenvas::kActionCount);
    std::vector<std::string> texts;
    for (int i = 0; i < zenvas::FindAction(number)->parameterCount(); ++i)
        texts.push_back(Text(in));
    forms::Answer answer;
    answer.kind = forms::Answer::Kind::Dialog;
    for (int n = in.pick(6); n >= 0; --n)
        answer.steps.push_back(kSteps[in.pick(kStepCount)]);
    forms::ScriptedAnswers::instance().queue(std::move(answer));
    std::vector<char*> slots;
    for (const std::string& text : texts)
        slots.push_back(sys::GlobalAllocText(text));
    nbEditAction(number, in.pick(8) == 0 ? nullptr : slots.data());
    for (char* slot : slots)
        sys::GlobalFree(slot);
}

void QueueAnswer(Reader& in)
{
    forms::Answer answer;
    answer.kind = forms::Answer::Kind(in.pick(5)); // colour, font, file, pick or cancel
    answer.color = in.pick(4) == 0 ? 0xFF000000u | in.byte() : gdi::Rgb(in.byte(), in.byte(), in.byte());
    answer.font.setName(in.pick(2) ? "Arial" : "No Such Face");
    answer.font.setColor(answer.color);
    answer.font.setSize(in.pick(4) == 0 ? int(Number(in)) : in.pick(72));
    answer.text = Text(in);
    forms::ScriptedAnswers::instance().queue(std::move(answer));
}

// Pictures above a million pixels are deleted between steps: growth by
// repeated resizing stays far below the allocation limit.
void KeepPicturesSmall()
{
    for (int i = zenvas::CanvasCount() - 1; i >= 0; --i) {
        zenvas::TZenvas& canvas = zenvas::CanvasAt(i);
        const gdi::Bitmap& picture = canvas.WSImageBox1->Bitmap();
        if (std::int64_t(picture.width()) * picture.height() > (1 << 20))
            harness::Exec(2, {canvas.RectName});
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Pictures and cursors the actions save and load stay in a folder of
    // their own; the corpus folders, inputs and artifact prefix named
    // relative to where the fuzzer started are made absolute first.
    const std::string here = std::filesystem::current_path().string() + "/";
    for (int i = 1; i < *argc; ++i) {
        std::string arg = (*argv)[i];
        for (const char* option : {"-artifact_prefix=", "-exact_artifact_path="})
            if (arg.rfind(option, 0) == 0 && arg.size() > std::strlen(option) && arg[std::strlen(option)] != '/')
                arg.insert(std::strlen(option), here);
        if (!arg.empty() && arg[0] != '-' && arg[0] != '/')
            arg.insert(0, here);
        if (arg != (*argv)[i])
            (*argv)[i] = ::strdup(arg.c_str()); // kept for the life of the process
    }
    char folder[] = "/tmp/zenvas-fuzz-actions-XXXXXX";
    if (!::mkdtemp(folder) || ::chdir(folder) != 0)
        std::abort();
    forms::ScriptedAnswers::instance().onErrorBox = [](const std::string&) {};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Reader in(data, size);
    harness::Connect();
    harness::AddRectangle("R1", Rectangle(0));
    harness::AddRectangle("R2", Rectangle(1));
    // A click subroutine may delete the canvas whose handler runs it.
    const bool deleteOnClick = in.pick(2) == 0;
    harness::State().onScript = [deleteOnClick](const std::string&) {
        if (deleteOnClick)
            harness::Exec(2, {"R1"});
    };
    forms::ShiftState held = 0;
    for (int step = 0; step < 64 && !in.done(); ++step) {
        switch (in.pick(8)) {
        case 0: case 1: case 2: case 3: Act(in); break;
        case 4: case 5: Point(in, held); break;
        case 6: QueueAnswer(in); break;
        case 7: in.pick(2) ? Edit(in) : nbMessage(in.pick(4)); break;
        }
        KeepPicturesSmall();
    }
    harness::Disconnect();
    forms::ScriptedAnswers::instance().clearAnswers();
    forms::Screen::instance().clearCursors();
    return 0;
}
