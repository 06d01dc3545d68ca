#include "gui_test_support.h"

#include "tests/reference/visualizations.h"

#include <FL/Fl_RGB_Image.H>

namespace {

ScriptDialogs* script = nullptr;  // the newest one alive

// The run's own folder of recovery files, removed by the process that made it (not a death test's child).
TempFolder* stateFolder = nullptr;
pid_t stateOwner = 0;
void remove_state_folder() { if (getpid() == stateOwner) delete stateFolder; }

int scripted_ask(const char* message) {
    if (!script) return 0;
    script->asked.push_back(message);
    if (script->answers.empty()) return 0;
    const int answer = script->answers.front();
    script->answers.pop_front();
    return answer;
}

void scripted_alert(const char* message) { if (script) script->alerted.push_back(message); }

const char* scripted_chooser(const char* title, const char*, const char*, int) {
    static std::string result;
    if (!script) return nullptr;
    script->chooserTitles.push_back(title);
    if (script->choices.empty()) return nullptr;
    result = script->choices.front();
    script->choices.pop_front();
    return result.empty() ? nullptr : result.c_str();
}

class EditorEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // A dialog a test did not script answers "no" or "cancel" instead of blocking the run.
        set_dialog_seam({scripted_ask, scripted_alert, scripted_chooser});
        set_undo_clock([] { return now; });
        // Recovery files go to a folder of the run's own, never the user's.
        stateFolder = new TempFolder;
        stateOwner = getpid();
        std::atexit(remove_state_folder);
        setenv("XDG_STATE_HOME", stateFolder->dir.c_str(), 1);
        build_editor();
        rootWindow->show();
        pump_events();
    }
};

}  // namespace

ScriptDialogs::ScriptDialogs() : previous(script) { script = this; }
ScriptDialogs::~ScriptDialogs() { script = previous; }

std::time_t now = 0;

void pump_events() { for (int i = 0; i < 20; i++) Fl::check(); }

std::string printed(const std::function<void()>& run) {
    testing::internal::CaptureStdout();
    run();
    return testing::internal::GetCapturedStdout();
}

void enter(Fl_Widget* field, double value) {
    static_cast<Fl_Valuator*>(field)->value(value);
    field->do_callback();
}

void choose(Fl_Browser* list, int line) {
    if (line) list->value(line);
    else list->deselect();
    list->do_callback();
}

Fl_Widget* labelled(Fl_Group* group, const char* label) {
    for (int i = 0; i < group->children(); i++)
        if (group->child(i)->label() && std::strcmp(group->child(i)->label(), label) == 0) return group->child(i);
    return nullptr;
}

std::vector<unsigned char> render(Fl_Widget* view) {
    // An earlier test in this process may have closed the window; drawing needs it shown.
    if (!rootWindow->shown()) rootWindow->show();
    rootWindow->make_current();
    Fl_Offscreen off = fl_create_offscreen(rootWindow->w(), rootWindow->h());
    fl_begin_offscreen(off);
    view->draw();
    std::vector<unsigned char> rgb(3 * view->w() * view->h());
    fl_read_image(rgb.data(), view->x(), view->y(), view->w(), view->h());
    fl_end_offscreen();
    fl_delete_offscreen(off);
    return rgb;
}

Rgb pixel(const std::vector<unsigned char>& rgb, const Fl_Widget* view, int x, int y) {
    const unsigned char* p = &rgb[3 * ((y - view->y()) * view->w() + (x - view->x()))];
    return {p[0], p[1], p[2]};
}

// The preview is the map transposed: preview row r, column c is map column r, row c.
int preview_mismatches(const uint32_t* words) {
    auto* image = dynamic_cast<const Fl_RGB_Image*>(mapPreview->image());
    if (!image || image->w() != 256 || image->h() != 256 || image->d() != 3) return -1;
    auto* raw = reinterpret_cast<const unsigned char*>(image->data()[0]);
    int mismatches = 0;
    for (int r = 0; r < 256; r++)
        for (int c = 0; c < 256; c++)
            for (int k = 0; k < 3; k++) mismatches += raw[(r * 256 + c) * 3 + k] != ((words[c * 256 + r] >> 8 * k) & 255);
    return mismatches;
}

int mismatches_with_generated(const Segment& s) {
    return preview_mismatches(reference::picture(s.palette, s.visualization, s.seedA, s.seedB, 256, 256, 256).data());
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new EditorEnvironment);
    return RUN_ALL_TESTS();
}
