// The wiring of the "Segments", "Targets" and "Enemy" pages, one table per page: a value entered
// through each control lands in exactly its field of the document, nowhere else, with the undo step
// of its kind; the page's refresh then shows every field in its own control. Then, on "Segments", the
// new-level values, the segment count and the song button.
#include "gui_test_support.h"

#include <algorithm>

namespace {

// The document as bytes: the records, then the four selections.
const std::pair<void*, size_t> kRegions[] = {
    {segment, sizeof segment}, {trigger, sizeof trigger}, {enemyModel, sizeof enemyModel}, {&activeSegment, sizeof(int)},
    {&activeTrigger, sizeof(int)}, {&activeStage, sizeof(int)}, {&activeEnemy, sizeof(int)}};

std::vector<unsigned char> document() {
    std::vector<unsigned char> bytes;
    for (auto [at, size] : kRegions) bytes.insert(bytes.end(), (unsigned char*)at, (unsigned char*)at + size);
    return bytes;
}

void set_document(const std::vector<unsigned char>& bytes) {
    size_t offset = 0;
    for (auto [at, size] : kRegions) std::memcpy(at, &bytes[offset], size), offset += size;
}

enum Kind { kFloat, kWhole, kColour, kText, kFlag };

template <class T> std::string bytes(T v) { return std::string(reinterpret_cast<const char*>(&v), sizeof v); }

struct Row {
    const char* name;
    Fl_Widget* widget;
    double number;       // entered: a valuator's value, a choice's item, a radio button's field value
    std::string typed;   // entered: a text field's text, or the path the file chooser returns
    Kind kind;
    void* field;         // null: no field may change
    std::string want;    // the field's bytes afterwards
    int undo;            // kind of the undo step recorded, -1 for none
    bool newMap = false; // the maps are made anew
    int* selection = nullptr;  // a selection the control also changes, to `selected`
    int selected = 0;
    std::function<bool()> also = [] { return true; };
};

template <class T> Row value(const char* name, Fl_Widget* w, double v, T& f, int undo = -1) {
    return {name, w, v, "", std::is_same_v<T, float> ? kFloat : kWhole, &f, bytes(T(v)), undo};
}
Row colour(const char* name, Fl_Widget* w, const char* typed, uint32_t& f, uint32_t want) {
    return {name, w, 0, typed, kColour, &f, bytes(want), -1};
}
Row text(const char* name, Fl_Widget* w, const char* typed, char* f, const char* want, int undo = -1) {
    return {name, w, 0, typed, kText, f, std::string(want) + '\0', undo};
}
Row with(Row r, std::function<bool()> also) { return r.also = std::move(also), r; }

double field_number(const Row& r) {  // not for texts
    if (r.kind == kFloat) return *static_cast<float*>(r.field);
    if (r.kind == kColour) return *static_cast<uint32_t*>(r.field);
    return r.kind == kFlag ? *static_cast<bool*>(r.field) : *static_cast<int32_t*>(r.field);
}

bool is_radio(Fl_Widget* w) { return dynamic_cast<Fl_Round_Button*>(w) && static_cast<Fl_Button*>(w)->type() == FL_RADIO_BUTTON; }

void enter_row(const Row& r, ScriptDialogs& dialogs) {
    if (auto* v = dynamic_cast<Fl_Valuator*>(r.widget)) v->value(r.number);
    else if (auto* c = dynamic_cast<Fl_Choice*>(r.widget)) c->value(int(r.number));
    else if (auto* in = dynamic_cast<Fl_Input_*>(r.widget)) in->value(r.typed.c_str());
    else if (is_radio(r.widget)) static_cast<Fl_Button*>(r.widget)->setonly();
    else if (auto* check = dynamic_cast<Fl_Check_Button*>(r.widget)) check->value(1);
    else dialogs.choices.push_back(r.typed);
    r.widget->do_callback();
}

// Whether the row's control shows the field's present value.
bool shows(const Row& r) {
    if (!r.field) return true;
    char hex[16];
    std::snprintf(hex, sizeof hex, "#%06x", r.kind == kColour ? unsigned(field_number(r)) : 0u);
    if (auto* v = dynamic_cast<Fl_Valuator*>(r.widget)) return v->value() == field_number(r);
    if (auto* c = dynamic_cast<Fl_Choice*>(r.widget))
        return r.kind == kText ? std::string(trigger_type_name(c->value())) == static_cast<char*>(r.field)
                               : c->value() == field_number(r);
    if (auto* in = dynamic_cast<Fl_Input_*>(r.widget))
        return std::string(in->value()) == (r.kind == kColour ? hex : static_cast<char*>(r.field));
    if (is_radio(r.widget)) return static_cast<Fl_Button*>(r.widget)->value() == (field_number(r) == r.number);
    if (auto* check = dynamic_cast<Fl_Check_Button*>(r.widget)) return check->value() == field_number(r);
    return true;  // a "..." button: the text field beside it shows the sound
}

// Enters each row in turn (no step merging with the one before); the undo step holds the trigger as it was.
void check_entries(const std::vector<Row>& rows) {
    ScriptDialogs dialogs;
    for (const Row& r : rows) {
        now += 10;
        const std::vector<unsigned char> current = document();  // the document wanted: set, read, put back
        if (r.field) std::memcpy(r.field, r.want.data(), r.want.size());
        if (r.selection) *r.selection = r.selected;
        const std::vector<unsigned char> want = document();
        set_document(current);
        const size_t steps = undoList.size();
        const Trigger before = selected_trigger();
        EXPECT_EQ(printed([&] { enter_row(r, dialogs); }).find("New map generated.") != std::string::npos, r.newMap)
            << r.name;
        const std::vector<unsigned char> got = document();
        EXPECT_EQ(std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin(), long(got.size()))
            << r.name << ": the first byte that differs";
        EXPECT_TRUE(r.also()) << r.name;
        ASSERT_EQ(undoList.size(), steps + (r.undo >= 0)) << r.name;
        if (r.undo < 0) continue;
        EXPECT_EQ(undoList.back().type, r.undo) << r.name;
        EXPECT_TRUE(r.undo != kUndoTriggerChange || !std::memcmp(undoList.back().savedTrigger.get(), &before, sizeof before))
            << r.name;
    }
}

// After `refresh`, every control shows its own field; a radio button its field's value once the field holds it.
void check_shown(const std::vector<Row>& rows, const std::function<void()>& refresh) {
    refresh();
    for (const Row& r : rows) EXPECT_TRUE(is_radio(r.widget) || shows(r)) << r.name;
    for (const Row& r : rows) {
        if (!is_radio(r.widget)) continue;
        *static_cast<int32_t*>(r.field) = int32_t(r.number);
        refresh();
        EXPECT_TRUE(shows(r)) << r.name;
    }
}

Fl_Widget* beside(Fl_Widget* field) {  // the "..." button right of a text field
    Fl_Group* g = field->parent();
    for (int i = 0; i < g->children(); i++)
        if (g->child(i)->y() == field->y() && g->child(i)->x() > field->x() && g->child(i) != field) return g->child(i);
    return nullptr;
}

}  // namespace

TEST(Wiring, SegmentsPage) {
    new_level();
    activeSegment = 3;
    show_segment();
    Segment& s = segment[3];
    auto maps = [](Row r) { return r.newMap = true, r; };
    auto radio = [&](const char* name, Fl_Widget* w, int32_t& f, int v) {
        return Row{name, w, double(v), "", kWhole, &f, bytes(int32_t(v)), -1, &f == &s.visualization};
    };
    const std::vector<Row> rows = {
        {"tunnel", isTunnel, 1, "", kFlag, &s.isTunnel, bytes(true), -1},
        radio("right", buttonRight, s.cameraAngle, 2),      radio("front", buttonFront, s.cameraAngle, 0),
        radio("left", buttonLeft, s.cameraAngle, 1),        radio("custom", visCustom, s.visualization, 4),
        radio("plasma", visPlasma, s.visualization, 1),     radio("wallpaper", visWallp, s.visualization, 0),
        radio("squared", visWallp2, s.visualization, 3),    radio("Julia", visJulia, s.visualization, 2),
        maps(value("seed A", seedA, -4.321, s.seedA)),      maps(value("seed B", seedB, 3.25, s.seedB)),
        value("height", segHeight, 77.5, s.scale),          value("length", segLength, 99.9, s.length),
        value("fog near", fogNear, -12.5, s.fogNear),       value("fog far", fogFar, 2048.1, s.fogFar),
        colour("fog colour", fogColor, "#12ab", s.fogColor, 0xFF0012ABu),
        {"map position", mapPosition, 0.75, "", kFloat, nullptr, "", -1},
    };
    check_entries(rows);
    check_shown(rows, [] { enter(pathPosition, 5), enter(pathPosition, 3); });
    song->value("theme.ogg");
    new_level();  // sets every control back but keeps the song
    const double values[] = {levelDuration->value(), levelSegments->value(), bpm->value(), evoDropRate->value(),
                             chaosDropRate->value(), initialEvo->value(), initialChaos->value(), pathPosition->maximum()};
    EXPECT_EQ(std::vector<double>(values, values + 8), std::vector<double>({3, 8, 148, 8, 20, 0, 1, 7}));
    EXPECT_EQ(std::string(fogColor->value()) + " " + song->value(), "#c0c000 theme.ogg");
    EXPECT_TRUE(visPlasma->value() && buttonFront->value());
    activeSegment = 6;  // the segment count sets the selector's range only
    enter(levelSegments, 4);
    EXPECT_EQ(std::make_pair(pathPosition->maximum(), activeSegment), std::make_pair(3.0, 6));
    enter(levelSegments, 256);
    enter(pathPosition, 255);
    EXPECT_EQ(activeSegment, 255);
    // A song in the level's folder is named relative to it, one elsewhere by its path; Cancel keeps the name.
    ScriptDialogs dialogs;
    copy_text(currentlevel, "/music/levels/level.txt");
    dialogs.choices = {"/music/levels/track one.ogg", "/music/levels/beats/a.wav", "/music/beat.wav", ""};
    for (const char* name : {"track one.ogg", "beats/a.wav", "/music/beat.wav", "/music/beat.wav"}) {
        songBrowse->do_callback();
        EXPECT_STREQ(song->value(), name);
    }
    song->value("");
    currentlevel[0] = '\0';
    new_level();
}

// Score and Bonus outside their items show "(value)" and picking that item changes nothing; "-x"
// and "-y" turn the stages in use and show at once.
TEST(Wiring, TargetsPage) {
    cb_New(nullptr, nullptr);
    for (int i = 0; i < 3; i++) cb_Add(nullptr, nullptr);
    add_trigger_type("wiring.md2");
    segment[5].scale = 33.5f;  // so that the page shows segment 5 when the trigger moves there
    Trigger& t = trigger[2];
    Stage& s = t.stage[0];
    t.points = -4, t.bonusType = 9;
    choose(triggerList, 2);
    const int change = kUndoTriggerChange;
    auto showing = [](Fl_Choice* c, const char* text, int size) {
        return [=] { return c->text() == std::string(text) && c->size() == size; };
    };
    check_entries({with({"(-4)", triggerScore, 3, "", kWhole, nullptr, "", -1}, showing(triggerScore, "(-4)", 5)),
                   with({"(9)", triggerBonus, 4, "", kWhole, nullptr, "", -1}, showing(triggerBonus, "(9)", 6))});
    Row segmentRow = with(value("segment", triggerSegment, 5, t.triggerSegment, change),
                          [] { return pathPosition->value() == 5 && segHeight->value() == 33.5; });
    segmentRow.newMap = true, segmentRow.selection = &activeSegment, segmentRow.selected = 5;
    Row typeRow = text("type", triggerType, "", t.triggerType, "wiring.md2", change);
    typeRow.number = find_trigger_type("wiring.md2");
    const std::vector<Row> rows = {
        with(value("score", triggerScore, 2, t.points, change), showing(triggerScore, "1000", 4)),
        with(value("bonus", triggerBonus, 3, t.bonusType, change), showing(triggerBonus, "Next Level", 5)),
        typeRow, value("hit points", triggerHitPoints, 6.9, t.health, change), segmentRow,
        with(value("stage count", triggerStageCount, 4, t.stageCount, change), [] { return triggerStage->maximum() == 3; }),
        value("trigger", triggerTrigger, 0.375, s.trigger, change),
        with(value("roller", triggerRoller, 0.625, s.trigger, change), [] { return triggerTrigger->value() == 0.625; }),
        value("x", triggerX, -17, s.x, change),     value("y", triggerY, 23, s.y, change),
        value("z", triggerZ, 4321, s.z, change),    value("rx", triggerRX, 11, s.rx, change),
        value("ry", triggerRY, -13, s.ry, change),  value("rz", triggerRZ, 29, s.rz, change),
    };
    check_entries(rows);
    check_entries({value("stage", triggerStage, 1, activeStage, kUndoSelection)});
    check_shown(rows, [] { choose(triggerList, 1), choose(triggerList, 2); });
    for (auto [label, at, turn] : {std::tuple{"-x", &Stage::x, &Stage::rx}, std::tuple{"-y", &Stage::y, &Stage::ry}}) {
        Trigger want = t;
        for (int k = 0; k < t.stageCount; k++) want.stage[k].*at *= -1, want.stage[k].*turn *= -1;
        labelled(targetsPage, label)->do_callback();
        EXPECT_TRUE(!std::memcmp(&t, &want, sizeof t) && triggerX->value() == s.x && triggerY->value() == s.y) << label;
    }
}

// Colour texts: "#" and hex digits up to the first other character; anything else is refused.
TEST(Wiring, EnemyPage) {
    cb_New(nullptr, nullptr);
    ScriptDialogs dialogs;
    dialogs.choices = {"/m/one.md2", "/m/two.md2"};
    cb_Add1(nullptr, nullptr), cb_Add1(nullptr, nullptr);
    choose(enemyList, 2);
    EnemyModel& e = enemyModel[2];
    uint32_t& first = e.explosionFirstColor;
    const std::vector<Row> rows = {
        colour("first colour", explosionFirstColor, "#ff8000", first, 0xFFFF8000u),
        colour("not a colour", explosionFirstColor, "zz", first, 0xFFFF8000u),
        colour("no digits", explosionFirstColor, "#", first, 0xFFFF8000u),
        colour("cut short", explosionFirstColor, "#12g", first, 0xFF000012u),
        colour("last colour", explosionLastColor, "#12abef", e.explosionLastColor, 0xFF12ABEFu),
        value("radius", explosionRadius, 12.25, e.explosionRadius),
        value("height", explosionHeight, 0.375, e.explosionHeightScale),
        value("duration", explosionDuration, 2.5, e.explosionDuration),
        text("lock-on sound", soundLockOn, "lock.wav", e.lockOnSound, "lock.wav"),
        text("explode sound", soundExplode, "boom.wav", e.explodeSound, "boom.wav"),
        text("lock-on ...", beside(soundLockOn), "/s/x\\pick.wav", e.lockOnSound, "pick.wav"),
        text("explode ...", beside(soundExplode), "/s/bang.wav", e.explodeSound, "bang.wav"),
    };
    check_entries(rows);
    check_shown(rows, [] { choose(enemyList, 1), choose(enemyList, 2); });
}
