// The server prompt as a user meets it, in each form of the user interface: a real window on a
// display of the test's own, a dialog on a terminal, and no one to answer. The prompt runs in a
// child process (locator_probe), which reports how it ended and the two texts.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <future>

#include "platform/code_page.h"
#include "platform/process.h"
#include "tests/support/terminal_session.h"
#include "tests/support/virtual_display.h"

namespace vorlabws::testing {
namespace {

const std::string kProbe = LOCATOR_PROBE;
const std::string kTitle = "Non trovato dati.ini";
const std::string kLabelText =
    "Inserire il nome del computer e la lettera della sua\r\nunit\xC3\xA0 disco dove risulta "
    "ospitato (o sar\xC3\xA0 ospitato) il database";

std::string Outcome(int esito, const std::string& edit1, const std::string& edit2) {
  return "Esito=" + std::to_string(esito) + "\nEdit1=" + edit1 + "\nEdit2=" + edit2 + "\n";
}

// The prompt in a session of its own, so that with no display it has no terminal either.
ProcessResult RunPrompt(const std::vector<std::pair<std::string, std::string>>& environment,
                        const std::vector<std::string>& removed) {
  StartOptions options;
  options.new_session = true;
  options.environment = environment;
  options.removed_environment = removed;
  return RunProcess(Utf8ToUtf16(kProbe), {u"prompt"}, options, "", std::chrono::seconds(60));
}

TEST(ServerPromptWindowTest, KeysAndCloseBoxEndThePromptAsTheyShould) {
  using Act = std::function<void(const VirtualDisplay&, const std::string& window)>;
  struct Row {
    const char* name;
    Act act;
    std::string outcome;
  };
  const Row rows[] = {
      {"focus starts in Edit1; Enter there confirms",
       [](const VirtualDisplay& display, const std::string& window) {
         display.Type(window, "srv");
         display.Press(window, "Return");
       },
       Outcome(1, "srv", "")},
      {"Tab from Edit1 wraps to Edit2; Enter there confirms",
       [](const VirtualDisplay& display, const std::string& window) {
         display.Type(window, "srv-01");
         display.Press(window, "Tab");
         display.Type(window, "E");
         display.Press(window, "KP_Enter");
       },
       Outcome(1, "srv-01", "E")},
      {"Esc cancels",
       [](const VirtualDisplay& display, const std::string& window) {
         display.Type(window, "srv");
         display.Press(window, "Escape");
       },
       Outcome(2, "srv", "")},
      {"Enter on the focused Cancel button presses it",
       [](const VirtualDisplay& display, const std::string& window) {
         display.Press(window, "Tab Tab Tab Return");
       },
       Outcome(2, "", "")},
      {"the close box leaves 0",
       [](const VirtualDisplay& display, const std::string& window) {
         display.Type(window, "srv");
         display.ClickCloseBox(window);
       },
       Outcome(0, "srv", "")},
  };
  VirtualDisplay display;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    auto prompt = std::async(std::launch::async, [&display] {
      return RunPrompt({{"DISPLAY", display.name()}}, {});
    });
    try {
      row.act(display, display.WaitForWindow(kTitle));
    } catch (const std::exception& failure) {
      ADD_FAILURE() << failure.what();
    }
    const ProcessResult result = prompt.get();
    EXPECT_EQ(result.standard_output, row.outcome);
    EXPECT_EQ(result.standard_error, "");
    EXPECT_EQ(result.exit_code, 0);
  }
}

// The prompt's size and place, and a photograph of it kept beside the test results.
TEST(ServerPromptWindowTest, OpensCentredAtItsSize) {
  VirtualDisplay display;
  auto prompt = std::async(std::launch::async, [&display] {
    return RunPrompt({{"DISPLAY", display.name()}}, {});
  });
  const std::string window = display.WaitForWindow(kTitle);
  display.Type(window, "server01");
  display.Press(window, "Tab");
  display.Type(window, "D");

  const VirtualDisplay::Geometry geometry = display.WindowGeometry(window);
  EXPECT_EQ(geometry.width, 329);
  EXPECT_EQ(geometry.height, 148);
  EXPECT_EQ(geometry.x, (VirtualDisplay::kWidth - 329) / 2);
  EXPECT_EQ(geometry.y, (VirtualDisplay::kHeight - 148) / 2);
  const std::filesystem::path photograph =
      std::filesystem::path(TEST_ARTIFACTS_FOLDER) / "server_prompt.png";
  std::filesystem::create_directories(photograph.parent_path());
  std::filesystem::remove(photograph);
  display.Photograph(window, photograph.string());
  EXPECT_GT(std::filesystem::file_size(photograph), 0u);

  display.Press(window, "Return");
  EXPECT_EQ(prompt.get().standard_output, Outcome(1, "server01", "D"));
}

TEST(ServerPromptTerminalTest, AsksTheFieldsInTurn) {
  const std::string kServerQuestion = "nome del computer (Esc e Invio: Cancel)> ";
  const std::string kLetterQuestion =
      "lettera della sua unit\xC3\xA0 disco (Esc e Invio: Cancel)> ";
  const std::string kRefused = "Carattere di controllo non ammesso: riscrivere il testo\r\n";
  struct Row {
    const char* name;
    std::vector<std::string> typed;      // one entry per question
    std::vector<std::string> questions;  // what the terminal shows before each entry
    std::string outcome;
  };
  const Row rows[] = {
      {"two answers confirm",
       {"srv\n", "E\n"},
       {kServerQuestion, kLetterQuestion},
       Outcome(1, "srv", "E")},
      {"empty answers are taken",
       {"\n", "\n"},
       {kServerQuestion, kLetterQuestion},
       Outcome(1, "", "")},
      {"Esc at the first question cancels", {"\x1b\n"}, {kServerQuestion}, Outcome(2, "", "")},
      {"Esc at the second question cancels",
       {"srv\n", "\x1b\n"},
       {kServerQuestion, kLetterQuestion},
       Outcome(2, "srv", "")},
      {"Esc after a typed text cancels", {"srv\x1b\n"}, {kServerQuestion}, Outcome(2, "", "")},
      {"end of input at the first question", {"\x04"}, {kServerQuestion}, Outcome(0, "", "")},
      {"end of input at the second question",
       {"srv\n", "\x04"},
       {kServerQuestion, kLetterQuestion},
       Outcome(0, "srv", "")},
      {"a control character is refused and the question asked again",
       {"s\trv\n", "srv\n", "\x01E\n", "E\n"},
       {kServerQuestion, kRefused + kServerQuestion, kLetterQuestion, kRefused + kLetterQuestion},
       Outcome(1, "srv", "E")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TerminalSession terminal({kProbe, "prompt"}, {"DISPLAY", "WAYLAND_DISPLAY"});
    terminal.WaitFor("[" + kTitle + "]\r\n" + kLabelText + "\r\n");
    for (size_t i = 0; i < row.typed.size(); ++i) {
      terminal.WaitFor(row.questions[i]);
      terminal.Type(row.typed[i]);
    }
    EXPECT_EQ(terminal.Wait(), 0);
    std::string outcome = row.outcome;
    for (size_t at = 0; (at = outcome.find('\n', at)) != std::string::npos; at += 2) {
      outcome.replace(at, 1, "\r\n");  // the terminal shows line ends as CR LF
    }
    EXPECT_TRUE(terminal.output().ends_with(outcome)) << terminal.output();
  }
}

TEST(ServerPromptUnansweredTest, ClosesUnconfirmedAndSaysWhatWasAsked) {
  struct Row {
    const char* name;
    std::vector<std::pair<std::string, std::string>> environment;
    std::vector<std::string> removed;
  };
  const Row rows[] = {
      {"no display named", {}, {"DISPLAY", "WAYLAND_DISPLAY"}},
      {"a display that does not answer", {{"DISPLAY", ":65000"}}, {"WAYLAND_DISPLAY"}},
      {"only a Wayland display named", {{"WAYLAND_DISPLAY", "wayland-65000"}}, {"DISPLAY"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const ProcessResult result = RunPrompt(row.environment, row.removed);
    EXPECT_EQ(result.standard_output, Outcome(0, "", ""));
    EXPECT_EQ(result.standard_error,
              kTitle +
                  ": Inserire il nome del computer e la lettera della sua unit\xC3\xA0 disco "
                  "dove risulta ospitato (o sar\xC3\xA0 ospitato) il database\n");
    EXPECT_FALSE(result.timed_out);
  }
}

}  // namespace
}  // namespace vorlabws::testing
