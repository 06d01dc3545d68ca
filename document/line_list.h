// The lines of a list as the document code sees them. Line k of the trigger
// list is trigger k and line k of the enemy list is enemy model k, so the
// commands that add, remove and relabel records work on lines too. The
// editor adapts its browsers to this; a plain vector serves without a display.
#pragma once

#include <string>
#include <vector>

class LineList {
public:
    virtual ~LineList() = default;
    // Number of lines; lines are numbered from 1.
    virtual int size() const = 0;
    // Appends a line.
    virtual void add(const char* text) = 0;
    // Inserts a line that becomes line `line` (1 .. size() + 1).
    virtual void insert(int line, const char* text) = 0;
    // Removes line `line`; nothing happens when there is no such line.
    virtual void remove(int line) = 0;
    // Replaces the text of line `line`; nothing happens when there is no such line.
    virtual void text(int line, const char* text) = 0;
    // Selects line `line` alone; 0 or a number past the end leaves none selected.
    virtual void select(int line) = 0;
    // The text of line `line`; empty when there is no such line.
    virtual std::string text_of(int line) const = 0;
    // The selected line, 0 when none is.
    virtual int selected_line() const = 0;
};

// Lines kept in a vector: what a list without a window holds.
class VectorLineList : public LineList {
public:
    std::vector<std::string> lines;
    int selected = 0;  // 0 when no line is selected

    int size() const override { return static_cast<int>(lines.size()); }
    void add(const char* text) override { lines.emplace_back(text); }
    void insert(int line, const char* text) override;
    void remove(int line) override;
    void text(int line, const char* text) override;
    void select(int line) override { selected = line >= 1 && line <= size() ? line : 0; }
    std::string text_of(int line) const override;
    int selected_line() const override { return selected; }
};
