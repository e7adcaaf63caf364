#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// Points XDG_CONFIG_HOME at a fresh empty folder for the life of the object,
// so that registry tests never see or touch the user's own settings.
class TempConfigHome {
public:
    TempConfigHome()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tabrino-config-XXXXXX").string();
        m_dir = ::mkdtemp(pattern.data());
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_hadOld = old != nullptr;
        if (old)
            m_old = old;
        ::setenv("XDG_CONFIG_HOME", m_dir.c_str(), 1);
    }
    ~TempConfigHome()
    {
        if (m_hadOld)
            ::setenv("XDG_CONFIG_HOME", m_old.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        std::filesystem::remove_all(m_dir, ignored);
    }

    std::string Dir() const { return m_dir; }
    std::string File() const { return m_dir + "/TabrinoCE/registry.reg"; }

    std::string Read() const
    {
        std::ifstream in(File(), std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    void Write(const std::string& text) const
    {
        std::filesystem::create_directories(m_dir + "/TabrinoCE");
        std::ofstream(File(), std::ios::binary) << text;
    }

private:
    std::string m_dir;
    std::string m_old;
    bool m_hadOld { false };
};
