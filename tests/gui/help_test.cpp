// Help opens the user guide that lies beside the program (the build copies
// it beside the test executable too) through the shell. The shell's "open"
// of .html pages is pointed at a copy into the scratch folder: the copy shows
// which file the shell was asked to open, without a browser. Wine reads file
// classes from HKEY_CLASSES_ROOT only, so that is where the test's go; what
// it changes there is put back.
#include "gui_harness.h"

namespace {

constexpr char kTestOpener[] = "Frambo.TestPage";

struct ShellOpensPagesByCopying {
  explicit ShellOpensPagesByCopying(const std::string& target) {
    DWORD size = sizeof previous;
    hadOpener = !RegGetValueA(HKEY_CLASSES_ROOT, ".html", nullptr, RRF_RT_REG_SZ, nullptr, previous, &size);
    const std::string command = "cmd.exe /c copy \"%1\" \"" + target + "\"";
    SetDefault(".html", kTestOpener);
    SetDefault(std::string(kTestOpener) + "\\shell\\open\\command", command.c_str());
  }
  ~ShellOpensPagesByCopying() {
    if (hadOpener) {
      SetDefault(".html", previous);
    } else {
      RegDeleteKeyValueA(HKEY_CLASSES_ROOT, ".html", nullptr);
      RegDeleteKeyA(HKEY_CLASSES_ROOT, ".html");  // only when nothing else is in it
    }
    RegDeleteTreeA(HKEY_CLASSES_ROOT, kTestOpener);
  }
  static void SetDefault(const std::string& key, const char* text) {
    RegSetKeyValueA(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, text, DWORD(strlen(text) + 1));
  }
  char previous[256] = "";
  bool hadOpener = false;
};

// The guide renamed for as long as it lives.
struct GuideHidden {
  explicit GuideHidden(const std::string& guide) : guide(guide) { MoveFileA(guide.c_str(), (guide + "~").c_str()); }
  ~GuideHidden() { MoveFileA((guide + "~").c_str(), guide.c_str()); }
  std::string guide;
};

}  // namespace

TEST(Help, OpensTheGuideBesideTheProgramThroughTheShellOrSaysItIsMissing) {
  char program[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, program, sizeof program);
  const std::string guide = std::filesystem::path(program).replace_filename("guide.html").string();
  const std::string copy = ScratchFile("opened.html");
  ShellOpensPagesByCopying shell(copy);
  EditorSession session;
  session.Command(IDM_HELP_HELP);
  EXPECT_EQ("(nothing shown)", session.LastShown());
  EXPECT_TRUE(WaitFor([&copy] { return std::filesystem::exists(copy); })) << "expected the shell to open the guide";
  EXPECT_EQ(FileBytes(guide), FileBytes(copy));
  {
    GuideHidden hidden(guide);
    session.Command(IDM_HELP_HELP);
  }
  ASSERT_EQ(1u, session.shown().size());
  EXPECT_EQ("Frambo Version 1.1: The user guide was not found: " + guide,
            session.shown()[0].caption + ": " + session.shown()[0].text);
  EXPECT_EQ(session.main(), session.shown()[0].owner);
}
