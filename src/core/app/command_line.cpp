// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <algorithm>

namespace qni {

using namespace std::literals;

namespace {

const Text kProgram = u"quarn-network-information";
const Text kVersion = fromLatin1(QNI_VERSION);

// What an address may not hold unescaped.
bool forbiddenInAddress(char16_t c)
{
    return c <= 0x20 || c == 0x7F || TextView(u"\"<>\\^`{|}").find(c) != TextView::npos;
}

// An absolute http or https address with a host: scheme, "//", an authority
// of [user@]host[:port], then path, query or fragment.
bool isPageAddress(TextView text)
{
    if (std::any_of(text.begin(), text.end(), forbiddenInAddress))
        return false;
    const std::size_t colon = text.find(u"://");
    if (colon == TextView::npos)
        return false;
    const Text scheme = lowered(text.substr(0, colon));
    if (scheme != u"http" && scheme != u"https")
        return false;
    TextView authority = text.substr(colon + 3);
    authority = authority.substr(0, authority.find_first_of(u"/?#"));
    if (const std::size_t at = authority.rfind(u'@'); at != TextView::npos)
        authority.remove_prefix(at + 1);
    TextView host = authority;
    TextView port;
    if (host.starts_with(u'[')) {
        const std::size_t close = host.find(u']');
        if (close == TextView::npos)
            return false;
        port = host.substr(close + 1);
        host = host.substr(0, close + 1);
        if (!port.empty() && port.front() != u':')
            return false;
    } else if (const std::size_t portColon = host.find(u':'); portColon != TextView::npos) {
        port = host.substr(portColon);
        host = host.substr(0, portColon);
    }
    if (!port.empty()) {
        port.remove_prefix(1);
        if (port.size() > 5 || !std::all_of(port.begin(), port.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; }))
            return false;
        if (!port.empty() && std::stol(toUtf8(port)) > 65535)
            return false;
    }
    return !host.empty() && host != u"[]";
}

// One line, whatever the user typed.
Text oneLine(Text text)
{
    for (char16_t& c : text) {
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            c = u'?';
    }
    return text;
}

Text fileName(TextView path)
{
    const std::size_t slash = path.find_last_of(u"/\\");
    return Text(slash == TextView::npos ? path : path.substr(slash + 1));
}

Text helpText(TextView program, TextView page)
{
    Text pageLine = u"  --public-page <URL>  The page that echoes the public address, http or https\n"
                    u"                       (default " + Text(page) + u"); \"\" fetches nothing.\n";
    return u"Usage: " + Text(program) + u" [options]\n"
           u"Gathers this computer's and its network's facts and shows them in one window.\n"
           u"\n"
           u"Options:\n"
           u"  -h, --help, -?       Displays help on commandline options.\n"
           u"  -v, --version        Displays version information.\n"
           + pageLine
           + u"  --report             Gather once and print the facts as text, without a\n"
             u"                       window.\n"
             u"  --json               Gather once and print the facts as one JSON object.\n";
}

} // namespace

CommandLine parseCommandLine(const std::vector<Text>& arguments, const Text& defaultPage)
{
    CommandLine result;
    result.settings.publicPage = defaultPage;
    const auto fail = [&](const Text& message) {
        result.exitStatus = 2;
        result.error = kProgram + u": " + oneLine(message) + u'\n';
        return result;
    };

    bool help = false, version = false, report = false, json = false;
    Text page = result.settings.publicPage;
    std::vector<Text> positional;
    bool optionsEnd = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const Text& arg = arguments[i];
        if (optionsEnd || arg.size() < 2 || arg[0] != u'-') {
            positional.push_back(arg);
        } else if (arg == u"--") {
            optionsEnd = true;
        } else if (arg.starts_with(u"--")) {
            const std::size_t equals = arg.find(u'=');
            const Text name = arg.substr(2, equals == Text::npos ? Text::npos : equals - 2);
            const bool hasValue = equals != Text::npos;
            if (name == u"public-page") {
                if (hasValue)
                    page = arg.substr(equals + 1);
                else if (i + 1 < arguments.size())
                    page = arguments[++i];
                else
                    return fail(u"Missing value after '--public-page'.");
                continue;
            }
            bool* const flag = name == u"help" ? &help : name == u"version" ? &version
                             : name == u"report" ? &report : name == u"json" ? &json : nullptr;
            if (!flag)
                return fail(u"Unknown option '" + name + u"'.");
            if (hasValue)
                return fail(u"Unexpected value after '--" + name + u"'.");
            *flag = true;
        } else {
            // Single-letter options may be run together ("-hv").
            for (const char16_t c : TextView(arg).substr(1)) {
                if (c == u'h' || c == u'?')
                    help = true;
                else if (c == u'v')
                    version = true;
                else
                    return fail(u"Unknown option '" + Text(1, c) + u"'.");
            }
        }
    }

    if (help) {
        result.exitStatus = 0;
        result.output = helpText(arguments.empty() ? kProgram : fileName(arguments.front()), result.settings.publicPage);
        return result;
    }
    if (version) {
        result.exitStatus = 0;
        result.output = kProgram + u' ' + kVersion + u'\n';
        return result;
    }
    if (!positional.empty())
        return fail(u"unexpected argument '" + positional.front() + u"'");
    if (report && json)
        return fail(u"--report and --json cannot be used together");
    result.mode = report ? RunMode::TextReport : json ? RunMode::Json : RunMode::Window;
    if (!page.empty() && !isPageAddress(page))
        return fail(u"--public-page: not an http or https address: '" + page + u"'");
    result.settings.publicPage = page;
    return result;
}

} // namespace qni
