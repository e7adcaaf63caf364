#include "platform/registry/Registry.h"

#include "platform/core/CString.h"
#include "platform/registry/CRegistryFile.h"
#include "platform/registry/ConfigFile.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>
#include <sys/stat.h>

// An open key: its full path, root name included, and the rights asked for.
struct HKEY__ {
    std::wstring path;
    REGSAM access { 0 };
};

namespace {

// One lock for the whole registry: every call reads the file, and a change
// writes it again, so calls must not interleave.
std::mutex g_lock;
std::set<HKEY> g_open;

const wchar_t* RootName(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT)
        return L"HKEY_CLASSES_ROOT";
    if (key == HKEY_CURRENT_USER)
        return L"HKEY_CURRENT_USER";
    if (key == HKEY_LOCAL_MACHINE)
        return L"HKEY_LOCAL_MACHINE";
    if (key == HKEY_USERS)
        return L"HKEY_USERS";
    return nullptr;
}

// The full path of a key handle, or false when the handle is not valid.
bool BasePath(HKEY key, std::wstring& path, REGSAM& access)
{
    if (const wchar_t* root = RootName(key)) {
        path = root;
        access = KEY_ALL_ACCESS;
        return true;
    }
    if (g_open.count(key) == 0)
        return false;
    path = key->path;
    access = key->access;
    return true;
}

// Names that the file cannot hold (control characters, brackets in key
// names, empty path components) are refused.
bool ValidName(const std::wstring& name, bool keyName)
{
    for (wchar_t c : name) {
        if (c < 0x20 || c == 0x7F)
            return false;
        if (keyName && (c == L'[' || c == L']'))
            return false;
    }
    return true;
}

bool Resolve(HKEY key, LPCWSTR subKey, std::wstring& path, REGSAM& access)
{
    if (!BasePath(key, path, access))
        return false;
    std::wstring sub = subKey ? subKey : L"";
    if (sub.empty())
        return true;
    if (!ValidName(sub, true) || sub.front() == L'\\' || sub.find(L"\\\\") != std::wstring::npos)
        return false;
    if (sub.back() == L'\\')
        sub.pop_back();
    path += L"\\" + sub;
    return true;
}

HKEY NewHandle(const std::wstring& path, REGSAM access)
{
    HKEY handle = new HKEY__ { path, access };
    g_open.insert(handle);
    return handle;
}

// The file as last read or written, with the identity it had then: a call
// that finds the file unchanged takes it from here instead of parsing it
// again, so a start-up that reads a dozen values reads the file once.
struct FileCache {
    bool valid { false };
    std::string path;
    struct stat identity {};
    CRegistryFile file;
};
FileCache g_cache;

bool SameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
        && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec
        && a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

void Remember(const std::string& path, CRegistryFile&& file)
{
    struct stat now {};
    g_cache.valid = ::stat(path.c_str(), &now) == 0;
    g_cache.path = path;
    g_cache.identity = now;
    g_cache.file = std::move(file);
}

// The registry file's contents, read again only when the file changed
// since the cache was filled. The reference stays good until the next call;
// call with g_lock held.
const CRegistryFile& Read(const std::string& path, CRegistryFile::LoadResult* result = nullptr)
{
    struct stat before {};
    const bool present = ::stat(path.c_str(), &before) == 0;
    if (present && g_cache.valid && g_cache.path == path && SameFile(before, g_cache.identity)) {
        if (result)
            *result = CRegistryFile::LoadResult::Loaded;
        return g_cache.file;
    }
    CRegistryFile::LoadResult loaded = g_cache.file.Load(path);
    struct stat after {};
    g_cache.path = path;
    g_cache.identity = before;
    g_cache.valid = loaded == CRegistryFile::LoadResult::Loaded && present && ::stat(path.c_str(), &after) == 0
        && SameFile(before, after);
    if (result)
        *result = loaded;
    return g_cache.file;
}

// Rewrites the file. A damaged file is kept beside the new one, so that what
// it held is not silently lost; a file that could not be read is left alone.
LONG Store(CRegistryFile&& file, CRegistryFile::LoadResult loaded, const std::string& path)
{
    if (loaded == CRegistryFile::LoadResult::Unreadable)
        return ERROR_ACCESS_DENIED;
    if (loaded == CRegistryFile::LoadResult::Damaged && !CRegistryFile::KeepDamagedCopy(path))
        return ERROR_WRITE_FAULT;
    g_cache.valid = false;
    if (!file.Save(path))
        return ERROR_WRITE_FAULT;
    Remember(path, std::move(file));
    return ERROR_SUCCESS;
}

}

std::string RegistryFilePath()
{
    return ConfigFolderPath() + "/registry.reg";
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM desired, PHKEY result)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard<std::mutex> guard(g_lock);
    std::wstring path;
    REGSAM access = 0;
    if (!Resolve(key, subKey, path, access))
        return ERROR_INVALID_HANDLE;
    const CRegistryFile& file = Read(RegistryFilePath());
    if (!RootName(key) || path.find(L'\\') != std::wstring::npos) {
        if (!file.HasKeyOrChild(path))
            return ERROR_FILE_NOT_FOUND;
    }
    *result = NewHandle(path, desired);
    return ERROR_SUCCESS;
}

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM desired, void*, PHKEY result,
    LPDWORD disposition)
{
    if (!result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::lock_guard<std::mutex> guard(g_lock);
    std::wstring path;
    REGSAM access = 0;
    if (!Resolve(key, subKey, path, access))
        return ERROR_INVALID_HANDLE;
    std::string filePath = RegistryFilePath();
    CRegistryFile::LoadResult loaded;
    CRegistryFile file = Read(filePath, &loaded);
    bool exists = file.HasKeyOrChild(path);
    if (!exists) {
        file.AddKey(path);
        if (LONG stored = Store(std::move(file), loaded, filePath); stored != ERROR_SUCCESS)
            return stored;
    }
    if (disposition)
        *disposition = exists ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = NewHandle(path, desired);
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size)
{
    if (data && !size)
        return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> guard(g_lock);
    std::wstring path;
    REGSAM access = 0;
    if (!BasePath(key, path, access))
        return ERROR_INVALID_HANDLE;
    if ((access & KEY_QUERY_VALUE) == 0)
        return ERROR_ACCESS_DENIED;
    const CRegistryFile& file = Read(RegistryFilePath());
    const CRegistryFile::Key* found = file.FindKey(path);
    const CRegistryFile::Value* value = found ? CRegistryFile::FindValue(*found, valueName ? valueName : L"") : nullptr;
    if (!value)
        return ERROR_FILE_NOT_FOUND;
    if (type)
        *type = value->type;
    DWORD needed = static_cast<DWORD>(value->data.size());
    if (!data) {
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed)
        std::memcpy(data, value->data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

namespace {

// Changes the values of the key on the file as it is now and stores the
// result: change returns ERROR_SUCCESS to have it stored, or the error.
template<typename Change>
LONG ChangeValues(HKEY key, Change change)
{
    std::lock_guard<std::mutex> guard(g_lock);
    std::wstring path;
    REGSAM access = 0;
    if (!BasePath(key, path, access) || RootName(key))
        return ERROR_INVALID_HANDLE;
    if ((access & KEY_SET_VALUE) == 0)
        return ERROR_ACCESS_DENIED;
    std::string filePath = RegistryFilePath();
    CRegistryFile::LoadResult loaded;
    CRegistryFile file = Read(filePath, &loaded);
    if (LONG result = change(file, path); result != ERROR_SUCCESS)
        return result;
    return Store(std::move(file), loaded, filePath);
}

}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size)
{
    if ((size && !data) || size > kRegistryMaxValueSize)
        return ERROR_INVALID_PARAMETER;
    std::wstring name = valueName ? valueName : L"";
    if (!ValidName(name, false))
        return ERROR_INVALID_PARAMETER;
    return ChangeValues(key, [&](CRegistryFile& file, const std::wstring& path) {
        CRegistryFile::Key* target = file.FindKey(path);
        if (!target)
            target = &file.AddKey(path);
        CRegistryFile::SetValue(*target, name, type, std::vector<BYTE>(data, data + size));
        return ERROR_SUCCESS;
    });
}

LONG RegDeleteValueW(HKEY key, LPCWSTR valueName)
{
    return ChangeValues(key, [&](CRegistryFile& file, const std::wstring& path) {
        CRegistryFile::Key* target = file.FindKey(path);
        const CRegistryFile::Value* value = target ? CRegistryFile::FindValue(*target, valueName ? valueName : L"") : nullptr;
        if (!value)
            return ERROR_FILE_NOT_FOUND;
        target->values.erase(target->values.begin() + (value - target->values.data()));
        return ERROR_SUCCESS;
    });
}

LONG RegCloseKey(HKEY key)
{
    if (RootName(key))
        return ERROR_SUCCESS;
    std::lock_guard<std::mutex> guard(g_lock);
    if (g_open.erase(key) == 0)
        return ERROR_INVALID_HANDLE;
    delete key;
    return ERROR_SUCCESS;
}
