#include "framework/app/DataFolder.h"

#include "framework/platform/FileSystem.h"

namespace Quillo
{

namespace
{

bool HoldsData(const std::string& folder, const std::string& marker)
{
    return FileSystem::Exists(folder + "/" + marker) &&
           !FileSystem::IsDirectory(folder + "/" + marker);
}

} // namespace

DataFolder DataFolder::Find(const std::string& programDirectory, const std::string& installedPath,
                            const std::string& marker)
{
    DataFolder found;
    found.m_marker = marker;
    found.m_beside = FileSystem::TidyPath(programDirectory.empty() ? "." : programDirectory);
    if (!installedPath.empty())
        found.m_installed = FileSystem::TidyPath(
            installedPath.front() == '/' ? installedPath : found.m_beside + "/" + installedPath);

    if (HoldsData(found.m_beside, marker))
    {
        found.m_place = Place::BesideProgram;
        found.m_directory = found.m_beside;
    }
    else if (!found.m_installed.empty() && HoldsData(found.m_installed, marker))
    {
        found.m_place = Place::Installed;
        found.m_directory = found.m_installed;
    }
    return found;
}

std::string DataFolder::MissingMessage(const std::string& product) const
{
    std::string text = product + " cannot find its data (" + m_marker + ").\nIt looked in " + m_beside;
    if (!m_installed.empty())
        text += "\nand in " + m_installed;
    return text + ".\nReinstalling the game brings it back.";
}

} // namespace Quillo
