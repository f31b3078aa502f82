#pragma once

#include <string>

namespace Quillo
{

// Where a program's data folders are. A program run from its build tree or
// from an unpacked folder has them beside itself; an installed program has
// them in a shared folder reached from its own by a relative path (for
// "/usr/bin/spindrel", "../share/spindrel" is "/usr/share/spindrel").
// A folder holds the data when it has the marker file (the manifest);
// names are matched as the data reader matches them, ignoring case.
class DataFolder
{
public:
    enum class Place
    {
        BesideProgram,
        Installed,
        Missing,
    };

    // programDirectory: the folder of the running program. installedPath:
    // the shared folder relative to it, or empty when the program has no
    // installed layout. marker: a file only a complete data folder has,
    // relative to that folder.
    static DataFolder Find(const std::string& programDirectory, const std::string& installedPath,
                           const std::string& marker);

    Place Where() const { return m_place; }
    bool IsInstalled() const { return m_place == Place::Installed; }
    // The folder that holds the data; empty when it is missing.
    const std::string& Directory() const { return m_directory; }

    // The folders that were looked at, in the order they were tried; the
    // installed one is empty when there is no installed layout.
    const std::string& BesideProgramCandidate() const { return m_beside; }
    const std::string& InstalledCandidate() const { return m_installed; }

    // The message for a program whose data is missing, naming the marker
    // and every folder that was looked at.
    std::string MissingMessage(const std::string& product) const;

private:
    Place m_place = Place::Missing;
    std::string m_directory;
    std::string m_beside;
    std::string m_installed;
    std::string m_marker;
};

} // namespace Quillo
