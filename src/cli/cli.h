// frambo-cli: the batch tool's commands. Each command is a plain function so
// that the native tests run it in-process; cli_main.cpp only calls RunCli.
#pragma once

#include <cstdio>

// Exit statuses shared by every command.
constexpr int kExitOk = 0;
constexpr int kExitFileError = 1;  // a file could not be read or written
constexpr int kExitUsage = 2;

// Runs the command named by argv[1] with the arguments after it (argv[0] is
// the program's name). Results go to out, messages and usage text to err.
int RunCli(int argc, char** argv, FILE* out, FILE* err);

// The commands. argv holds only the arguments after the command's name.
int RunInfo(int argc, char** argv, FILE* out, FILE* err);    // info [--json] FILE
int RunFrames(int argc, char** argv, FILE* out, FILE* err);  // frames FILE OUTDIR
// render FILE OUTDIR
int RunRender(int argc, char** argv, FILE* out, FILE* err);
// convert FILE... -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]
int RunConvert(int argc, char** argv, FILE* out, FILE* err);
// optimize FILE -o OUT.gif [--transparency] [--interlaced] [--no-credit] [--loop COUNT]
int RunOptimize(int argc, char** argv, FILE* out, FILE* err);
// unoptimize FILE -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]
int RunUnoptimize(int argc, char** argv, FILE* out, FILE* err);
// colors N FILE -o OUT.gif [--no-credit] [--loop COUNT]
int RunColors(int argc, char** argv, FILE* out, FILE* err);
// gray FILE -o OUT.gif [--frame K] [--no-credit] [--loop COUNT]
int RunGray(int argc, char** argv, FILE* out, FILE* err);
// reduce N FILE -o OUT.gif [--frame K] [--no-credit] [--loop COUNT]
int RunReduce(int argc, char** argv, FILE* out, FILE* err);
// delay N FILE -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]
int RunDelay(int argc, char** argv, FILE* out, FILE* err);
// speed F FILE -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]
int RunSpeed(int argc, char** argv, FILE* out, FILE* err);
// dedupe FILE -o OUT.gif [--interlaced] [--no-credit] [--loop COUNT]
int RunDedupe(int argc, char** argv, FILE* out, FILE* err);
// palette-save FILE K OUT.pal
int RunPaletteSave(int argc, char** argv, FILE* out, FILE* err);
// palette-load FILE K IN.pal -o OUT.gif [--no-credit] [--loop COUNT]
int RunPaletteLoad(int argc, char** argv, FILE* out, FILE* err);
