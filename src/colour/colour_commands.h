// The cores of the colour commands: "Calculate optimal palette", "Decrease
// number of colors" and "Gray scale". The editor runs its colour-count
// dialog between the Begin... call and the core; frambo-cli calls the cores
// with the count it was given. Every user-interface effect goes through
// ui_operations.h.
#pragma once

#include <cstdint>

// The colour-count dialog edits these: it shows 2 << depthExponent (2..256)
// and never goes above 2 << depthExponentMax.
extern int16_t depthExponent;
extern int16_t depthExponentMax;

// "Calculate optimal palette", before its dialog: stops playback and lets
// the dialog start at 256, its largest count.
void BeginOptimalPalette();

// "Calculate optimal palette" with the dialog's n (2..256): every image frame
// moved onto one global palette of at most n colours. Comment entries are
// left alone.
void CalculateOptimalPalette(int n);

// The largest exponent "Decrease number of colors" offers for an image frame:
// the largest power of two strictly below its colorCount is 2 << it. -1 when
// the frame has 2 colours or fewer and nothing can be offered.
int DecreaseColorsExponentMax(int frameIndex);

// "Decrease number of colors", before its dialog. Nothing (false) without
// frames or on a comment entry; otherwise playback stops, and when the
// current frame has more than 2 colours depthExponentMax and depthExponent
// are set for the dialog and the result is true.
bool BeginDecreaseColors();

// "Decrease number of colors" with n (2..256) on image frame frameIndex. A
// frame showing at most n colours keeps exactly those; beyond that median
// cut chooses them. A transparent frame keeps its transparent pixels and
// only them: its transparent index gets an entry of its own, counted among
// the n. False, with the frame as it was, when the frame's pixels cannot be
// had in memory (or frameIndex names no image frame).
bool DecreaseFrameColors(int frameIndex, int n);

// "Gray scale" on the current frame: nothing without frames or on a comment
// entry; else playback stops and GrayScaleFrame runs on it.
void GrayScaleCurrentFrame();

// Every colour of image frame frameIndex becomes the grey (r + g + b) / 3 on
// a 256-level palette; transparent pixels stay transparent and opaque ones
// opaque. False, with the frame as it was, when its pixels cannot be had.
bool GrayScaleFrame(int frameIndex);
