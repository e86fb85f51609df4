// purgix-cli: the cleaning run without a window, for scripts and scheduled tasks.
#include "PurgixVersion.h"
#include "cli/CliRequest.h"
#include "sys/Console.h"
#include "sys/Utf8.h"

#include <exception>

namespace {

int RunConsole(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(Narrow(argv[i]));
    const CliParse parse = ParseArguments(arguments);
    if (!parse.request) {
        CConsoleStream(ConsoleStreamId::Error).Write("purgix-cli: " + parse.error + "\n\n" + UsageText());
        return kExitUsage;
    }
    const CliRequest& request = *parse.request;
    if (request.help) {
        CConsoleStream(ConsoleStreamId::Output).Write(UsageText());
        return kExitDone;
    }
    if (request.version) {
        CConsoleStream(ConsoleStreamId::Output).Write(std::string("purgix-cli ") + PURGIX_VERSION + "\n");
        return kExitDone;
    }
    return request.command->run(request);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // A failure nothing else caught (memory, most likely) ends the program with a line, not a crash.
    try {
        return RunConsole(argc, argv);
    } catch (const std::exception& failure) {
        CConsoleStream(ConsoleStreamId::Error).Write(std::string("purgix-cli: ") + failure.what() + "\n");
    } catch (...) {
        CConsoleStream(ConsoleStreamId::Error).Write("purgix-cli: an unexpected failure ended the program\n");
    }
    return kExitUsage;
}
