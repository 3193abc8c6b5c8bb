// The command-line driver: reads the job's coordinates, runs one label or manifest job through
// the job runner and turns its outcome into the exit code. Prints only the usage text and the
// line of a failure that escaped the job.
#include <cxxabi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <typeinfo>

#include "jobs/Funzioni.h"
#include "jobs/outcomes.h"
#include "platform/code_page.h"
#include "platform/process.h"
#include "platform/program_folder.h"
#include "platform/trace.h"

namespace {

constexpr uint8_t ERR_PARAMETRI_INCOMPLETI = 1;
constexpr uint8_t ERR_EXCEPTION = 2;
constexpr uint8_t ERR_POPOLA_DATI = 3;

void WriteLine(const std::string& text) {
  const std::string line = text + "\r\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

void TraceRunStart(int argc, char** argv) {
  vorlabws::StartTrace(argc > 2 ? argv[2] : "", argc > 3 ? argv[3] : "");
  // Untraced runs skip building these texts (the program folder costs a system call).
  if (!vorlabws::TraceOn()) return;
  vorlabws::Trace("command line: " + vorlabws::TraceCommandLine({argv, argv + argc}));
  vorlabws::Trace("program folder: " + vorlabws::Utf16ToUtf8(vorlabws::ProgramFolder()));
}

int TraceExitCode(int exit_code) {
  vorlabws::Trace("exit code " + std::to_string(exit_code));
  return exit_code;
}

std::string TypeName(const std::type_info& type) {
  int status = 0;
  std::unique_ptr<char, decltype(&std::free)> name(
      abi::__cxa_demangle(type.name(), nullptr, nullptr, &status), &std::free);
  return status == 0 && name ? name.get() : type.name();
}

// The driver's steps; returns the exit code. Everything the job opened is closed on return: the
// job context, and with it the connection and the transaction, lives inside the job runner's call.
int RunDriver(int argc, char** argv) {
  int exit_code = 0;
  TraceRunStart(argc, argv);
  if (argc - 1 < 3) {
    WriteLine("Errore nell'invocazione, utilizzare:");
    WriteLine("VorlabWS.exe database testata riga [operazione]");
    return TraceExitCode(ERR_PARAMETRI_INCOMPLETI);
  }
  try {
    const std::u16string Database = vorlabws::Utf8ToUtf16(argv[1]);
    const std::u16string Testata = vorlabws::Utf8ToUtf16(argv[2]);
    const std::u16string Riga = vorlabws::Utf8ToUtf16(argv[3]);
    const std::u16string Operazione = argc - 1 > 3 ? vorlabws::Utf8ToUtf16(argv[4]) : u"ETICHETTA";
    std::u16string PopolaEtichetta;
    if (Operazione == u"ETICHETTA") {
      PopolaEtichetta = vorlabws::PopolaEtichettaForm(Database, Testata, Riga);
    } else if (Operazione == u"MANIFEST") {
      PopolaEtichetta = vorlabws::PopolaManifestForm(Database, Testata, Riga);
    }
    vorlabws::Trace("outcome: " + vorlabws::Utf16ToUtf8(PopolaEtichetta));
    exit_code = PopolaEtichetta == vorlabws::kCompletato ? 0 : ERR_POPOLA_DATI;
  } catch (const std::exception& E) {
    const std::string line = TypeName(typeid(E)) + ": " + E.what();
    vorlabws::Trace("failure: " + line);
    WriteLine(line);
    exit_code = ERR_EXCEPTION;
  }
  return TraceExitCode(exit_code);
}

}  // namespace

int main(int argc, char** argv) {
  const int exit_code = RunDriver(argc, argv);
  // The outcome is stored, the transaction ended, the connection detached and the relay reaped:
  // nothing is left to do. Returning would run the client library's teardown, which on a server
  // connection sleeps a fixed 50 ms before the process may end.
  vorlabws::EndProcessNow(exit_code);
}
