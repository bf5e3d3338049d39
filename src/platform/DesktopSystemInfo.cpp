#include <QProcess>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "platform/SystemInfo.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace keyrack::platform {

bool DesktopSystemInfo::GetKeyValue(std::uint32_t keyRoot, const std::string& keyName,
                                    const std::string& subKeyRef, std::string& keyVal) {
#ifdef _WIN32
    constexpr REGSAM kReadAccess = 0x2003F;
    constexpr DWORD kBufferSize = 1024;
    HKEY key = nullptr;
    if (RegOpenKeyExA(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(keyRoot)), keyName.c_str(), 0,
                      kReadAccess, &key) != ERROR_SUCCESS) {
        keyVal.clear();
        return false;
    }
    std::string buffer(kBufferSize, '\0');
    DWORD type = 0;
    DWORD size = kBufferSize;
    const LONG read = RegQueryValueExA(key, subKeyRef.c_str(), nullptr, &type,
                                       reinterpret_cast<BYTE*>(buffer.data()), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS) {
        keyVal.clear();
        return false;
    }
    buffer.resize(std::min(size, kBufferSize));
    RegistryValueText(type, buffer, keyVal);  // other types leave keyVal as it was
    return true;
#else
    (void)keyRoot;
    (void)keyName;
    (void)subKeyRef;
    keyVal.clear();
    return false;
#endif
}

bool DesktopSystemInfo::FileExists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string DesktopSystemInfo::CurrentDesktop() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return desktop != nullptr ? desktop : "";
}

std::string DesktopSystemInfo::FindProgram(const std::string& name) {
    return QStandardPaths::findExecutable(QString::fromStdString(name)).toStdString();
}

bool DesktopSystemInfo::StartProgram(const std::string& path,
                                     const std::vector<std::string>& arguments) {
    QStringList list;
    for (const std::string& argument : arguments) {
        list << QString::fromStdString(argument);
    }
    return QProcess::startDetached(QString::fromStdString(path), list);
}

}  // namespace keyrack::platform
