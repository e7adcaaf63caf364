#include "app/CCommandLine.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

CCommandLine::Action Parse(CCommandLine& line, std::vector<const char*> args)
{
    args.insert(args.begin(), "tabrino");
    return line.Parse(static_cast<int>(args.size()), args.data());
}

}

TEST(CommandLine, EveryOptionAndWhatWinsOverTheRest)
{
    CCommandLine full;
    EXPECT_EQ(Parse(full,
                  { "--port", "capture:/tmp/x y.txt", "--zoom", "3", "--new-window", "--soundfont", "/sf/ä.sf2",
                      "Lied \xe4.mid" }),
        CCommandLine::RUN);
    EXPECT_TRUE(full.m_newWindow);
    EXPECT_EQ(full.m_port.ToUtf8(), "capture:/tmp/x y.txt");
    EXPECT_EQ(full.m_zoom, 3);
    EXPECT_EQ(full.m_soundFont.ToUtf8(), "/sf/ä.sf2");
    EXPECT_EQ(full.m_file.ToUtf8(), "Lied \xe4.mid") << "a name that is not UTF-8 keeps its bytes";
    // After "--" a name that looks like an option is a file.
    CCommandLine dashed;
    EXPECT_EQ(Parse(dashed, { "--", "--zoom" }), CCommandLine::RUN);
    EXPECT_EQ(dashed.m_file.ToUtf8(), "--zoom");

    for (auto [args, action] : { std::pair { std::vector<const char*> { "song.mid", "--help", "--bogus" }, CCommandLine::HELP },
             std::pair { std::vector<const char*> { "--version" }, CCommandLine::VERSION },
             std::pair { std::vector<const char*> { "--list-ports", "song.mid" }, CCommandLine::LIST_PORTS } }) {
        CCommandLine line;
        EXPECT_EQ(Parse(line, args), action) << args[0];
    }
}

TEST(CommandLine, RefusesWhatItCannotUse)
{
    struct Case {
        std::vector<const char*> args;
        const char* error;
    };
    for (const Case& c : { Case { { "--zoom", "0" }, "--zoom takes a whole number from 1 to 4" },
             Case { { "--zoom", "5" }, "--zoom takes" }, Case { { "--zoom", "2x" }, "--zoom takes" },
             Case { { "--zoom", "-1" }, "--zoom takes" }, Case { { "--zoom", "99999999999999999999" }, "--zoom takes" },
             Case { { "--zoom" }, "--zoom needs a value" }, Case { { "--port" }, "--port needs a value" },
             Case { { "--soundfont" }, "--soundfont needs a value" }, Case { { "--loud" }, "unknown option --loud" },
             Case { { "a.mid", "b.mid" }, "only one FILE" }, Case { { "" }, "empty" } }) {
        CCommandLine line;
        EXPECT_EQ(Parse(line, c.args), CCommandLine::FAULT) << c.error;
        EXPECT_NE(line.m_error.find(c.error), std::string::npos) << line.m_error;
    }
}
