// frambo-cli info [--json] FILE: the logical screen and every entry of the
// frame list, as a readable table or as one JSON object whose key order is
// fixed (scripts compare it as text). The loop count is "loopCount" there:
// a number (0: for ever), or null when the file has no looping extension.
#include <cstring>
#include <string>

#include "cli/cli.h"
#include "cli/cli_support.h"
#include "document/document.h"
#include "formats/jpeg_import.h"

namespace {

// Comments are shown this far in the table; --json gives them whole.
constexpr uint32_t kTableTextLimit = 60;

const char* Bool(bool value) { return value ? "true" : "false"; }
const char* YesNo(bool value) { return value ? "yes" : "no"; }

// The comment's bytes as the inside of a JSON string: quote, backslash and
// control characters escaped, and bytes above 127 as \u00XX so that the
// output stays ASCII whatever the comment holds.
std::string EscapeText(const uint8_t* text, uint32_t length) {
  std::string escaped;
  escaped.reserve(length);
  for (uint32_t i = 0; i < length; ++i) {
    uint8_t c = text[i];
    switch (c) {
      case '"': escaped += "\\\""; break;
      case '\\': escaped += "\\\\"; break;
      case '\n': escaped += "\\n"; break;
      case '\r': escaped += "\\r"; break;
      case '\t': escaped += "\\t"; break;
      default:
        if (c < 0x20 || c > 0x7F) {
          char code[8];
          snprintf(code, sizeof code, "\\u%04X", c);
          escaped += code;
        } else {
          escaped += static_cast<char>(c);
        }
    }
  }
  return escaped;
}

bool CommentText(const Frame& frame, std::string* text, uint32_t limit) {
  ByteBuffer bytes;
  if (!ReadEntryBytes(frame, &bytes)) return false;
  uint32_t length = EntryByteCount(frame);
  *text = EscapeText(bytes.data(), length < limit ? length : limit);
  return true;
}

// The loop count as --loop takes it: a number, "forever" for 0, or "none"
// when there is no looping extension.
std::string LoopText(bool json) {
  if (doc.loopCount == kNoLooping) return json ? "null" : "none";
  if (doc.loopCount == kLoopForever && !json) return "forever";
  return std::to_string(doc.loopCount);
}

bool PrintJson(FILE* out) {
  fprintf(out,
          "{\"screenWidth\":%u,\"screenHeight\":%u,\"backgroundIndex\":%u,"
          "\"hasGlobalPalette\":%s,\"globalColorCount\":%d,\"frameCount\":%d,\"loopCount\":%s,\"entries\":[",
          doc.screenWidth, doc.screenHeight, doc.backgroundIndex, Bool(doc.hasGlobalPalette != 0),
          doc.globalColorCount, doc.frameCount, LoopText(true).c_str());
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& f = *doc.frames[i];
    fputs(i == 0 ? "\n" : ",\n", out);
    if (IsComment(f)) {
      std::string text;
      if (!CommentText(f, &text, UINT32_MAX)) return false;
      fprintf(out, "{\"kind\":\"comment\",\"length\":%d,\"text\":\"%s\"}", f.left, text.c_str());
      continue;
    }
    fprintf(out,
            "{\"kind\":\"image\",\"left\":%d,\"top\":%d,\"width\":%d,\"height\":%d,"
            "\"colorCount\":%d,\"delay\":%u,\"disposal\":%u,\"transparent\":%s,"
            "\"transparentIndex\":%u,\"useGlobalPalette\":%s,\"interlaced\":%s,\"sortFlag\":%s}",
            f.left, f.top, f.width, f.height, f.colorCount, f.delay, f.disposal,
            Bool(f.transparent != 0), f.transparentIndex, Bool(f.useGlobalPalette != 0),
            Bool(f.interlaced != 0), Bool(f.sortFlag != 0));
  }
  fputs(doc.frameCount > 0 ? "\n]}\n" : "]}\n", out);
  return true;
}

bool PrintTable(FILE* out) {
  fprintf(out, "screen %ux%u, background index %u, global palette %s, %d colours\n",
          doc.screenWidth, doc.screenHeight, doc.backgroundIndex, YesNo(doc.hasGlobalPalette != 0),
          doc.globalColorCount);
  fprintf(out, "%d entries, loop count %s\n", doc.frameCount, LoopText(false).c_str());
  fprintf(out, "%5s %-7s %5s %5s %5s %6s %7s %5s %8s %11s %6s %10s %6s\n", "entry", "kind", "left",
          "top", "width", "height", "colours", "delay", "disposal", "transparent", "global",
          "interlaced", "sorted");
  for (int i = 0; i < doc.frameCount; ++i) {
    const Frame& f = *doc.frames[i];
    if (IsComment(f)) {
      std::string text;
      if (!CommentText(f, &text, kTableTextLimit)) return false;
      const char* more = EntryByteCount(f) > kTableTextLimit ? "..." : "";
      fprintf(out, "%5d comment %d bytes \"%s\"%s\n", i, f.left, text.c_str(), more);
      continue;
    }
    char transparency[16] = "-";
    if (f.transparent) snprintf(transparency, sizeof transparency, "%u", f.transparentIndex);
    fprintf(out, "%5d image   %5d %5d %5d %6d %7d %5u %8u %11s %6s %10s %6s\n", i, f.left, f.top,
            f.width, f.height, f.colorCount, f.delay, f.disposal, transparency,
            YesNo(f.useGlobalPalette != 0), YesNo(f.interlaced != 0), YesNo(f.sortFlag != 0));
  }
  return true;
}

}  // namespace

int RunInfo(int argc, char** argv, FILE* out, FILE* err) {
  bool json = false;
  const char* input = nullptr;
  for (int i = 0; i < argc; ++i) {
    if (strcmp(argv[i], "--json") == 0) {
      json = true;
    } else if (argv[i][0] == '-' || input != nullptr) {
      return UsageError(err);
    } else {
      input = argv[i];
    }
  }
  if (input == nullptr) return UsageError(err);
  // The JSON object is all that goes to standard output: the JPEG import's
  // diagnostic lines would break it.
  bool diagnostics = jpegDiagnostics;
  if (json) jpegDiagnostics = false;
  bool loaded = LoadInput(input, err);
  jpegDiagnostics = diagnostics;
  if (!loaded) return kExitFileError;
  bool printed = json ? PrintJson(out) : PrintTable(out);
  if (!printed) {
    fputs("Not enough memory for a comment's text\n", err);
    return kExitFileError;
  }
  return kExitOk;
}
