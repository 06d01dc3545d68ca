// The wiring of the "Segments", "Targets" and "Enemy" pages, one table per
// page: a distinct value entered through each control lands in exactly its
// field of the document, and nowhere else, with the undo step of its kind;
// the page's refresh then shows every field in its own control.
#include "gui_test_support.h"

#include <algorithm>

namespace {

// The document as bytes: the records, then the four selections.
std::vector<std::pair<void*, size_t>> regions() {
    return {{segment, sizeof segment}, {trigger, sizeof trigger}, {enemyModel, sizeof enemyModel},
            {&activeSegment, sizeof(int)}, {&activeTrigger, sizeof(int)}, {&activeStage, sizeof(int)},
            {&activeEnemy, sizeof(int)}};
}

std::vector<unsigned char> document() {
    std::vector<unsigned char> bytes;
    for (auto [at, size] : regions()) bytes.insert(bytes.end(), (unsigned char*)at, (unsigned char*)at + size);
    return bytes;
}

// Writes `size` bytes into a document image at the place of the live field `at`.
void put(std::vector<unsigned char>& doc, const void* at, const void* bytes, size_t size) {
    size_t offset = 0;
    for (auto [base, length] : regions()) {
        const auto* b = static_cast<const unsigned char*>(base);
        if (at >= b && at < b + length) {
            std::memcpy(&doc[offset + (static_cast<const unsigned char*>(at) - b)], bytes, size);
            return;
        }
        offset += length;
    }
    ADD_FAILURE() << "not a field of the document";
}

enum Kind { kFloat, kWhole, kColour, kText, kFlag };

struct Row {
    const char* name;
    Fl_Widget* widget;
    double number;       // entered: a valuator's value, a choice's item, a radio button's field value
    std::string typed;   // entered: a text field's text, or the path the file chooser returns
    Kind kind;
    void* field;         // null: no field may change
    double want;         // the field afterwards; texts in `wantText`
    std::string wantText;
    int undo;            // kind of the undo step recorded, -1 for none
    bool newMap = false; // the maps are made anew
    int* selection = nullptr;  // a selection the control also changes, to `selected`
    int selected = 0;
    std::function<bool()> also = [] { return true; };
};

Row number(const char* name, Fl_Widget* w, double v, float& f, int undo = -1) {
    return {name, w, v, "", kFloat, &f, double(float(v)), "", undo};
}
Row whole(const char* name, Fl_Widget* w, double v, int32_t& f, int undo = -1) {
    return {name, w, v, "", kWhole, &f, double(int32_t(v)), "", undo};
}
Row colour(const char* name, Fl_Widget* w, const char* typed, uint32_t& f, uint32_t want) {
    return {name, w, 0, typed, kColour, &f, double(want), "", -1};
}
Row text(const char* name, Fl_Widget* w, const char* typed, char* f, const char* want, int undo = -1) {
    return {name, w, 0, typed, kText, f, 0, want, undo};
}

double field_number(const Row& r) {
    switch (r.kind) {
        case kFloat: return *static_cast<float*>(r.field);
        case kWhole: return *static_cast<int32_t*>(r.field);
        case kColour: return *static_cast<uint32_t*>(r.field);
        case kFlag: return *static_cast<bool*>(r.field);
        default: return 0;
    }
}

void expect_field(std::vector<unsigned char>& doc, const Row& r) {
    const float f = float(r.want);
    const int32_t i = int32_t(r.want);
    const uint32_t c = uint32_t(r.want);
    const bool b = r.want != 0;
    if (!r.field) return;
    if (r.kind == kText) put(doc, r.field, r.wantText.c_str(), r.wantText.size() + 1);
    else if (r.kind == kFlag) put(doc, r.field, &b, 1);
    else put(doc, r.field, r.kind == kFloat ? (const void*)&f : r.kind == kWhole ? (const void*)&i : &c, 4);
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
    std::snprintf(hex, sizeof hex, "#%06x", unsigned(field_number(r)));
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

// Enters each row in turn: exactly its field changes, to exactly its value,
// and the undo step of its kind is recorded, holding the trigger as it was.
void check_entries(const std::vector<Row>& rows) {
    ScriptDialogs dialogs;
    for (const Row& r : rows) {
        now += 10;  // no step merges with the one before
        std::vector<unsigned char> want = document();
        expect_field(want, r);
        if (r.selection) put(want, r.selection, &r.selected, sizeof(int));
        const size_t steps = undoList.size();
        const Trigger before = selected_trigger();
        EXPECT_EQ(printed([&] { enter_row(r, dialogs); }).find("New map generated.") != std::string::npos, r.newMap)
            << r.name;
        const std::vector<unsigned char> got = document();
        EXPECT_TRUE(got == want) << r.name << ": first difference at byte "
                                 << std::mismatch(got.begin(), got.end(), want.begin()).first - got.begin();
        EXPECT_TRUE(r.also()) << r.name;
        ASSERT_EQ(undoList.size(), steps + (r.undo >= 0)) << r.name;
        if (r.undo < 0) continue;
        EXPECT_EQ(undoList.back().type, r.undo) << r.name;
        EXPECT_TRUE(r.undo != kUndoTriggerChange || !std::memcmp(undoList.back().savedTrigger.get(), &before, sizeof before))
            << r.name;
    }
}

// After `refresh`, every control shows its own field; a radio button shows
// its field's value once the field holds it.
void check_shown(const std::vector<Row>& rows, const std::function<void()>& refresh) {
    refresh();
    for (const Row& r : rows)
        EXPECT_TRUE(is_radio(r.widget) || shows(r)) << r.name;
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
        return Row{name, w, double(v), "", kWhole, &f, double(v), "", -1, &f == &s.visualization};
    };
    const std::vector<Row> rows = {
        {"tunnel", isTunnel, 1, "", kFlag, &s.isTunnel, 1, "", -1},
        radio("right", buttonRight, s.cameraAngle, 2),
        radio("front", buttonFront, s.cameraAngle, 0),
        radio("left", buttonLeft, s.cameraAngle, 1),
        radio("custom", visCustom, s.visualization, 4),
        radio("plasma", visPlasma, s.visualization, 1),
        radio("wallpaper", visWallp, s.visualization, 0),
        radio("squared", visWallp2, s.visualization, 3),
        radio("Julia", visJulia, s.visualization, 2),
        maps(number("seed A", seedA, -4.321, s.seedA)),
        maps(number("seed B", seedB, 3.25, s.seedB)),
        number("height", segHeight, 77.5, s.scale),
        number("length", segLength, 99.9, s.length),
        number("fog near", fogNear, -12.5, s.fogNear),
        number("fog far", fogFar, 2048.1, s.fogFar),
        colour("fog colour", fogColor, "#12ab", s.fogColor, 0xFF0012ABu),
        {"map position", mapPosition, 0.75, "", kFloat, nullptr, 0, "", -1},
    };
    check_entries(rows);
    check_shown(rows, [] { enter(pathPosition, 5), enter(pathPosition, 3); });
    s.cameraAngle = 7, s.visualization = 9;  // unknown values show as Front and as the wallpaper
    show_segment();
    EXPECT_TRUE(buttonFront->value() && visWallp->value());
}

TEST(Wiring, TargetsPage) {
    cb_New(nullptr, nullptr);
    for (int i = 0; i < 3; i++) cb_Add(nullptr, nullptr);
    add_trigger_type("wiring.md2");
    segment[5].scale = 33.5f;  // so that the page shows segment 5 when the trigger moves there
    choose(triggerList, 2);
    Trigger& t = trigger[2];
    Stage& s = t.stage[0];
    Row segmentRow = whole("segment", triggerSegment, 5, t.triggerSegment, kUndoTriggerChange);
    segmentRow.newMap = true;
    segmentRow.selection = &activeSegment, segmentRow.selected = 5;
    segmentRow.also = [] { return pathPosition->value() == 5 && segHeight->value() == 33.5; };
    Row typeRow = text("type", triggerType, "", t.triggerType, "wiring.md2", kUndoTriggerChange);
    typeRow.number = find_trigger_type("wiring.md2");
    Row countRow = whole("stage count", triggerStageCount, 4, t.stageCount, kUndoTriggerChange);
    countRow.also = [] { return triggerStage->maximum() == 3; };
    const std::vector<Row> rows = {
        whole("score", triggerScore, 2, t.points, kUndoTriggerChange),
        whole("bonus", triggerBonus, 3, t.bonusType, kUndoTriggerChange),
        typeRow,
        whole("hit points", triggerHitPoints, 6.9, t.health, kUndoTriggerChange),
        segmentRow,
        countRow,
        number("trigger", triggerTrigger, 0.375, s.trigger, kUndoTriggerChange),
        number("roller", triggerRoller, 0.625, s.trigger, kUndoTriggerChange),
        number("x", triggerX, -17, s.x, kUndoTriggerChange),
        number("y", triggerY, 23, s.y, kUndoTriggerChange),
        number("z", triggerZ, 4321, s.z, kUndoTriggerChange),
        number("rx", triggerRX, 11, s.rx, kUndoTriggerChange),
        number("ry", triggerRY, -13, s.ry, kUndoTriggerChange),
        number("rz", triggerRZ, 29, s.rz, kUndoTriggerChange),
    };
    check_entries(rows);
    EXPECT_EQ(triggerTrigger->value(), 0.625);  // the roller shows in the field
    check_entries({whole("stage", triggerStage, 1, activeStage, kUndoSelection)});
    check_shown(rows, [] { choose(triggerList, 1), choose(triggerList, 2); });

    // "-x" and "-y": the stages in use change the sign of x and rx (y and ry), shown at once.
    for (auto [label, at, turn] : {std::tuple{"-x", &Stage::x, &Stage::rx}, std::tuple{"-y", &Stage::y, &Stage::ry}}) {
        Trigger want = t;
        for (int k = 0; k < t.stageCount; k++) want.stage[k].*at = -(t.stage[k].*at), want.stage[k].*turn = -(t.stage[k].*turn);
        now += 10;
        labelled(targetsPage, label)->do_callback();
        EXPECT_EQ(std::memcmp(&t, &want, sizeof t), 0) << label;
        EXPECT_EQ(undoList.back().type, kUndoTriggerChange) << label;
        EXPECT_EQ(triggerX->value() * 1000 + triggerY->value(), s.x * 1000 + s.y) << label;
    }
}

TEST(Wiring, EnemyPage) {
    cb_New(nullptr, nullptr);
    {
        ScriptDialogs dialogs;
        dialogs.choices = {"/m/one.md2", "/m/two.md2"};
        cb_Add1(nullptr, nullptr), cb_Add1(nullptr, nullptr);
    }
    choose(enemyList, 2);
    EnemyModel& e = enemyModel[2];
    const std::vector<Row> rows = {
        colour("first colour", explosionFirstColor, "#ff8000", e.explosionFirstColor, 0xFFFF8000u),
        colour("last colour", explosionLastColor, "#12abef", e.explosionLastColor, 0xFF12ABEFu),
        number("radius", explosionRadius, 12.25, e.explosionRadius),
        number("height", explosionHeight, 0.375, e.explosionHeightScale),
        number("duration", explosionDuration, 2.5, e.explosionDuration),
        text("lock-on sound", soundLockOn, "lock.wav", e.lockOnSound, "lock.wav"),
        text("explode sound", soundExplode, "boom.wav", e.explodeSound, "boom.wav"),
        text("lock-on ...", beside(soundLockOn), "/s/x\\pick.wav", e.lockOnSound, "pick.wav"),
        text("explode ...", beside(soundExplode), "/s/bang.wav", e.explodeSound, "bang.wav"),
    };
    check_entries(rows);
    check_shown(rows, [] { choose(enemyList, 1), choose(enemyList, 2); });
}
