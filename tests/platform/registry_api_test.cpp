#include "platform/registry/Registry.h"
#include "tests/TempConfigHome.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <vector>

namespace {

const wchar_t* const kKey = L"Software\\TabrinoCE";

std::vector<BYTE> Query(HKEY root, const wchar_t* key, const wchar_t* name, DWORD* type = nullptr, LONG* error = nullptr)
{
    HKEY k = nullptr;
    LONG r = RegOpenKeyExW(root, key, 0, KEY_READ, &k);
    std::vector<BYTE> data(1024);
    DWORD size = 1024;
    if (r == ERROR_SUCCESS) {
        r = RegQueryValueExW(k, name, nullptr, type, data.data(), &size);
        RegCloseKey(k);
    }
    if (error)
        *error = r;
    data.resize(r == ERROR_SUCCESS ? size : 0);
    return data;
}

LONG Set(const wchar_t* key, const wchar_t* name, DWORD type, std::vector<BYTE> data)
{
    HKEY k = nullptr;
    DWORD disposition = 0;
    LONG r = RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, &disposition);
    if (r != ERROR_SUCCESS)
        return r;
    r = RegSetValueExW(k, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(k);
    return r;
}

}

TEST(RegistryApi, ValueRoundTripsThroughTheExactFileText)
{
    TempConfigHome home;
    // The folder does not exist yet: the first write makes it.
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    const BYTE ten[] = { '1', '0', 0 };
    ASSERT_EQ(RegSetValueExW(key, L"DrumChannel", 0, REG_SZ, ten, 3), ERROR_SUCCESS);
    RegCloseKey(key);

    EXPECT_EQ(home.Read(), "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):31,30,00\n\n");

    DWORD type = 0;
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kKey, L"DrumChannel", &type), std::vector<BYTE>({ '1', '0', 0 }));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // Names are found regardless of case, as on the original system.
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, L"SOFTWARE\\tabrinoce", L"drumchannel").size(), 3u);

    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
        ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(key);
    // No temporary file is left beside the registry file.
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(home.Dir() + "/TabrinoCE"))
        files += entry.is_regular_file() ? 1 : 0;
    EXPECT_EQ(files, 1);
}

TEST(RegistryApi, KeepsUtf16BytesAndOtherValuesAndKeys)
{
    TempConfigHome home;
    std::vector<BYTE> wide = { '1', 0, '0', 0, 0, 0 };
    ASSERT_EQ(Set(kKey, L"DrumChannel", REG_SZ, wide), ERROR_SUCCESS);
    ASSERT_EQ(Set(kKey, L"Other", REG_BINARY, { 0xFF, 0x00, 0x7F }), ERROR_SUCCESS);
    ASSERT_EQ(Set(L"Software\\Else", L"", REG_DWORD, { 1, 2, 3, 4 }), ERROR_SUCCESS);
    // Rewriting one value leaves the others as they were.
    ASSERT_EQ(Set(kKey, L"DrumChannel", REG_SZ, wide), ERROR_SUCCESS);

    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kKey, L"DrumChannel"), wide);
    DWORD type = 0;
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kKey, L"Other", &type), std::vector<BYTE>({ 0xFF, 0x00, 0x7F }));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, L"Software\\Else", L"", &type), std::vector<BYTE>({ 1, 2, 3, 4 }));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_NE(home.Read().find("\"DrumChannel\"=hex(1):31,00,30,00,00,00\n"), std::string::npos);
}

TEST(RegistryApi, MissingFileKeyOrValueIsNotFound)
{
    TempConfigHome home;
    LONG error = 0;
    EXPECT_TRUE(Query(HKEY_LOCAL_MACHINE, kKey, L"DrumChannel", nullptr, &error).empty());
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(Set(kKey, L"A", REG_SZ, { 'x', 0 }), ERROR_SUCCESS);
    Query(HKEY_LOCAL_MACHINE, kKey, L"B", nullptr, &error);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    Query(HKEY_LOCAL_MACHINE, L"Software\\Missing", L"A", nullptr, &error);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    // A parent of an existing key exists too.
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST(RegistryApi, DamagedFilesReadAsMissingAndEachIsKeptAsideOnWrite)
{
    TempConfigHome home;
    const std::string damaged[] = {
        std::string("\x00\x01\x02garbage", 10),
        "[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):31,30,00\n",
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):3\n",
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel=hex(1):31,30,00\n",
        "REGEDIT4\n\"DrumChannel\"=hex(1):31,30,00\n",
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(zz):31\n",
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=dword:123\n",
        // Larger than any registry file this program writes.
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):31,30,00\n;"
            + std::string(1100 * 1024, 'x') + "\n",
    };
    int n = 0;
    for (const std::string& text : damaged) {
        home.Write(text);
        LONG error = 0;
        EXPECT_TRUE(Query(HKEY_LOCAL_MACHINE, kKey, L"DrumChannel", nullptr, &error).empty());
        EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
        ASSERT_EQ(Set(kKey, L"DrumChannel", REG_SZ, { '5', 0 }), ERROR_SUCCESS);
        EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kKey, L"DrumChannel"), std::vector<BYTE>({ '5', 0 }));
        // Every damaged file is kept under a name of its own.
        std::string copy = home.File() + ".damaged" + (++n == 1 ? std::string() : "." + std::to_string(n));
        std::ifstream in(copy, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), text) << copy;
    }
}

TEST(RegistryApi, FileThatCannotBeReadIsNeverWrittenOver)
{
    TempConfigHome home;
    // Not a regular file, and (unless the tests run as root) a file without
    // read permission: both read as empty and every write is refused.
    std::filesystem::create_directories(home.File());
    LONG error = 0;
    Query(HKEY_LOCAL_MACHINE, kKey, L"DrumChannel", nullptr, &error);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Set(kKey, L"DrumChannel", REG_SZ, { '5', 0 }), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(std::filesystem::is_directory(home.File()));
    std::filesystem::remove(home.File());

    const std::string text = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\n\"DrumChannel\"=hex(1):31,30,00\n";
    home.Write(text);
    std::filesystem::permissions(home.File(), std::filesystem::perms::none);
    // Root reads the file all the same; then there is nothing to check.
    if (::access(home.File().c_str(), R_OK) != 0) {
        Query(HKEY_LOCAL_MACHINE, kKey, L"DrumChannel", nullptr, &error);
        EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(Set(kKey, L"DrumChannel", REG_SZ, { '5', 0 }), ERROR_ACCESS_DENIED);
    }
    std::filesystem::permissions(home.File(), std::filesystem::perms::owner_read);
    EXPECT_EQ(home.Read(), text);
    EXPECT_FALSE(std::filesystem::exists(home.File() + ".damaged"));
}

TEST(RegistryApi, ReadsTheOtherFormsOfRegedit4)
{
    TempConfigHome home;
    home.Write("\xEF\xBB\xBFREGEDIT4\r\n\r\n; written by hand\r\n[HKEY_LOCAL_MACHINE\\Software\\TabrinoCE]\r\n"
               "\"Text\"=\"a \\\"b\\\" \\\\c\"\r\n\"Number\"=dword:0000010a\r\n"
               "\"Long\"=hex(1):31,\\\r\n  32,00\r\n@=hex:01\r\n");
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kKey, L"Text"), std::vector<BYTE>({ 'a', ' ', '"', 'b', '"', ' ', '\\', 'c', 0 }));
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kKey, L"Number"), std::vector<BYTE>({ 0x0a, 0x01, 0, 0 }));
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kKey, L"Long"), std::vector<BYTE>({ '1', '2', 0 }));
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kKey, L""), std::vector<BYTE>({ 1 }));
}

TEST(RegistryApi, RefusesBadHandlesRightsAndSizes)
{
    TempConfigHome home;
    ASSERT_EQ(Set(kKey, L"A", REG_SZ, { 'x', 0 }), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    const BYTE byte = 1;
    EXPECT_EQ(RegSetValueExW(key, L"A", 0, REG_BINARY, &byte, 1), ERROR_ACCESS_DENIED);
    DWORD size = 1;
    BYTE small[1];
    EXPECT_EQ(RegQueryValueExW(key, L"A", nullptr, nullptr, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 2u);
    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, L"A", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 2u);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegQueryValueExW(key, L"A", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);

    std::vector<BYTE> huge(kRegistryMaxValueSize + 1, 0x41);
    EXPECT_EQ(Set(kKey, L"Huge", REG_BINARY, huge), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Set(kKey, L"Bad\nName", REG_BINARY, { 1 }), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Set(L"Soft[ware]", L"A", REG_BINARY, { 1 }), ERROR_INVALID_HANDLE);
}

TEST(RegistryApi, FailedWriteIsReported)
{
    TempConfigHome home;
    // A plain file where the folder should be makes every write fail.
    std::ofstream(home.Dir() + "/TabrinoCE") << "not a folder";
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
        ERROR_WRITE_FAULT);
    EXPECT_EQ(key, nullptr);
    LONG error = 0;
    Query(HKEY_LOCAL_MACHINE, kKey, L"DrumChannel", nullptr, &error);
    EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
}
