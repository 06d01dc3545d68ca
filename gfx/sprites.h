// The sprite layer on top of the image buffers: named cells loaded once and
// cached, bitmap fonts described by .fnt text files, the rearrangement of
// pixel arrays into 16-byte x 8-row blocks with an optional video-memory
// window, and an uncompressed Targa writer.
//
// The screen these functions draw on is 480 x 272. The editor itself has no
// such screen, so drawSprite and drawSpriteAlpha put nothing anywhere; they
// only count their calls and remember the last one, which lets the callers
// be tested.
#pragma once

#include <cstdint>

#include "gfx/image.h"

// ---- Cells --------------------------------------------------------------

constexpr int kCellCapacity = 32;
constexpr int kSpriteScreenWidth = 480;
constexpr int kSpriteScreenHeight = 272;

struct Cell {
    char cellName[256];  // NUL-terminated, at most 255 characters
    Image* cellImage;
};

extern Cell cell[kCellCapacity];
extern int cellNext;  // entries in use

// The cached image named `name`, loading it (from `name`, else from
// "data/" + name) on first use. Null when it cannot be loaded or the cache
// is full.
Image* loadCell(const char* name);
// Draws the cell at (x, y) when any part of it touches the screen.
void drawCell(int x, int y, const char* name);
// Frees every cached image and empties the cache.
void freeCells();

// ---- Blitting -----------------------------------------------------------

// Copy a rectangle of `sheet` to the screen at (x, y). There is no screen
// here: the calls are only counted and recorded.
void drawSprite(int srcX, int srcY, int width, int height, Image* sheet, int x, int y);
void drawSpriteAlpha(int srcX, int srcY, int width, int height, Image* sheet, int x, int y,
                     int alpha);

struct SpriteCall {
    int srcX, srcY, width, height;
    const Image* sheet;
    int x, y;
    int alpha;  // -1 for drawSprite
};
extern int drawSpriteCalls;       // calls of drawSprite since start (tests reset it)
extern int drawSpriteAlphaCalls;  // calls of drawSpriteAlpha
extern SpriteCall lastSpriteCall; // arguments of the most recent call of either

// ---- Bitmap fonts -------------------------------------------------------

struct FontGlyph {
    int32_t defined;
    int32_t srcX, srcY, srcWidth, srcHeight;  // rectangle in the sheet
    int32_t offsetX;   // horizontal drawing offset
    int32_t spacing;   // extra advance
    int32_t offsetY;   // vertical drawing offset
};

struct FastFont {
    Image* bitmap;       // glyph sheet, null when not loaded
    int32_t lineHeight;  // also the advance of a missing glyph
    FontGlyph glyphs[256];
};

constexpr int kFastFontCount = 6;
extern FastFont fastFont[kFastFontCount];

// Reads a .fnt description and its sheet into `font`. 1 on success (or when
// the font already has a sheet, which is then left as it is), 0 on failure.
int loadFastFont(FastFont* font, const char* path);
// Loads the six standard fonts from "data/" into fastFont[0..5].
void initFastFont();

// Width and height of `text` in font slot `font` (0..5). Leaves both
// untouched when the font has no sheet.
void extentMessage(int* width, int* height, int font, const char* text);
void drawMessage(int x, int y, int font, const char* text);
void drawMessageAlpha(int x, int y, int font, const char* text, int alpha);
// Draws `text` line by line, splitting at line feeds, one lineHeight apart.
void drawMessageFormat(int x, int y, int font, const char* text);

// ---- Video-memory window and swizzling ---------------------------------

constexpr uint32_t kVRamStart = 0x04154000u;
constexpr uint32_t kVRamSize = 0xAC000u;  // ends at 0x04200000

extern int swizzleToVRam;   // place swizzled arrays in the window (default 0)
extern uint32_t nextVRam;   // address of the next free byte of the window
extern uint32_t freeVRam;   // bytes left in the window

// The byte of the window at `address`, or null when the address lies outside
// [kVRamStart, kVRamStart + kVRamSize). The window is a static array of this
// program, so pixels placed in it stay valid until the program ends.
uint8_t* vramPointer(uint32_t address);
// Empties the window.
void resetVRam();
// Rearranges the image's pixels into 16-byte x 8-row blocks. Returns the
// image, or null when `image` is null or the new array cannot be allocated.
Image* swizzleFast(Image* image);

// ---- Targa export -------------------------------------------------------

// Writes width x height pixels (rows `stride` words apart) as an uncompressed
// 24-bit Targa file, bottom row first.
void saveImageTarga(const char* path, const uint32_t* pixels, int width, int height, int stride);
