#include "gui_test_support.h"

#include "app/main_window.h"

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

ScriptedDialogs* active_script = nullptr;

int scripted_ask(const char* message) {
    active_script->asked.push_back(message);
    if (active_script->answers.empty()) return 0;
    int answer = active_script->answers.front();
    active_script->answers.pop_front();
    return answer;
}

void scripted_alert(const char* message) { active_script->alerted.push_back(message); }

const char* scripted_chooser(const char* title, const char*, const char*, int) {
    static std::string result;
    active_script->chooserTitles.push_back(title);
    if (active_script->choices.empty()) return nullptr;
    result = active_script->choices.front();
    active_script->choices.pop_front();
    return result.empty() ? nullptr : result.c_str();
}

ScriptedDialogs the_script;

class EditorEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        // Any dialog a test did not script answers "no" or "cancel" instead
        // of blocking the run.
        active_script = &the_script;
        set_dialog_seam({scripted_ask, scripted_alert, scripted_chooser});
        build_editor();
        rootWindow->show();
        pump_events();
    }
};

}  // namespace

ScriptDialogs::ScriptDialogs() : script(the_script) {
    the_script = ScriptedDialogs();
    previous_ = set_dialog_seam({scripted_ask, scripted_alert, scripted_chooser});
}

ScriptDialogs::~ScriptDialogs() { set_dialog_seam(previous_); }

void pump_events() {
    for (int i = 0; i < 20; i++) Fl::check();
}

std::string make_temp_dir() {
    char pattern[] = "/tmp/vantrope-gui-XXXXXX";
    const char* dir = mkdtemp(pattern);
    return dir ? dir : "/tmp";
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new EditorEnvironment);
    return RUN_ALL_TESTS();
}
