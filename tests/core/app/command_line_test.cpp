// SPDX-License-Identifier: MIT
#include "app/command_line.h"

#include <gtest/gtest.h>

using namespace qni;

TEST(CommandLine, OptionsAndTheirRefusals)
{
    // The arguments; the exit status, the page, the start of standard output, standard error.
    const std::tuple<std::vector<std::string>, std::optional<int>, std::string, std::string, std::string> cases[] = {
        {{}, std::nullopt, "https://api.ipify.org", "", ""},
        {{"--public-page", "http://127.0.0.1:8080/ip"}, std::nullopt, "http://127.0.0.1:8080/ip", "", ""},
        {{"--public-page=HTTPS://example.org"}, std::nullopt, "HTTPS://example.org", "", ""},
        {{"--public-page", ""}, std::nullopt, "", "", ""},
        {{"--version"}, 0, "", "quarn-network-information 1.0.0\n", ""},
        {{"--help"}, 0, "", "Usage: quarn-network-information [options]\n", ""},
        {{"--public-page", "ftp://example.org"}, 2, "", "",
         "quarn-network-information: --public-page: not an http or https address: 'ftp://example.org'\n"},
        {{"--public-page", "http://"}, 2, "", "",
         "quarn-network-information: --public-page: not an http or https address: 'http://'\n"},
        {{"--public-page", "https://a\nb"}, 2, "", "",
         "quarn-network-information: --public-page: not an http or https address: 'https://a?b'\n"},
        {{"--public-page"}, 2, "", "", "quarn-network-information: Missing value after '--public-page'.\n"},
        {{"--report-everything"}, 2, "", "", "quarn-network-information: Unknown option 'report-everything'.\n"},
        {{"now"}, 2, "", "", "quarn-network-information: unexpected argument 'now'\n"},
        {{"--", "--report"}, 2, "", "", "quarn-network-information: unexpected argument '--report'\n"},
        {{"-hv"}, 0, "", "Usage: quarn-network-information [options]\n", ""},
        {{"-x"}, 2, "", "", "quarn-network-information: Unknown option 'x'.\n"},
        {{"--json=yes"}, 2, "", "", "quarn-network-information: Unexpected value after '--json'.\n"},
        {{"--report", "--json"}, 2, "", "", "quarn-network-information: --report and --json cannot be used together\n"},
        {{"--public-page", "http://[::1]:8080/"}, std::nullopt, "http://[::1]:8080/", "", ""},
        {{"--public-page", "http://h:99999/"}, 2, "", "", "quarn-network-information: --public-page: not an http or https address: 'http://h:99999/'\n"},
        {{"--public-page", "http://a b/"}, 2, "", "", "quarn-network-information: --public-page: not an http or https address: 'http://a b/'\n"},
    };
    for (const auto& [arguments, exitStatus, publicPage, output, error] : cases) {
        std::vector<Text> texts = {u"/usr/bin/quarn-network-information"};
        for (const std::string& a : arguments)
            texts.push_back(fromUtf8(a));
        SCOPED_TRACE(toUtf8(join(texts, u" ")));
        const CommandLine line = parseCommandLine(texts);
        EXPECT_EQ(line.exitStatus, exitStatus);
        EXPECT_TRUE(exitStatus || toUtf8(line.settings.publicPage) == publicPage) << toUtf8(line.settings.publicPage);
        EXPECT_EQ(toUtf8(line.output).substr(0, output.size()), output);
        EXPECT_EQ(line.output.empty(), output.empty());
        EXPECT_EQ(toUtf8(line.error), error);
    }
}
