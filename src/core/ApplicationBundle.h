#pragma once

// The on-disk application bundle: "<root>/Contents/{Info.plist, MacOS/, Helpers/,
// Resources/, PlugIns/, _CodeSignature/}".

#include <optional>
#include <string>

namespace quorin {

class ApplicationBundle {
public:
    // The bundle at `rootPath` (".../Quorin 4.2.app"); the path is taken as given.
    explicit ApplicationBundle(std::string rootPath);
    // The bundle whose Contents/MacOS folder holds the running executable (/proc/self/exe);
    // nullopt when the executable does not sit in a bundle.
    static std::optional<ApplicationBundle> running();
    // The bundle containing an executable path, if it sits in "<root>/Contents/MacOS/".
    static std::optional<ApplicationBundle> containingExecutable(const std::string& executablePath);

    const std::string& rootPath() const { return m_rootPath; }
    std::string contentsPath() const;
    std::string infoPlistPath() const;
    std::string plugInsDirectory() const; // Contents/PlugIns (web-process extension)
    // Contents/Resources when it exists as a directory; nullopt otherwise.
    std::optional<std::string> resourcesDirectory() const;

    // A string value of Info.plist (XML or binary); nullopt when the file, the key or a
    // string value is missing.
    std::optional<std::string> infoString(const std::string& key) const;
    // "CFBundleShortVersionString", or "0.1.0" when missing or not a string.
    std::string shortVersionString() const;

    bool operator==(const ApplicationBundle&) const = default;

private:
    std::string m_rootPath;
};

} // namespace quorin
