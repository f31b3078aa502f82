#pragma once

#include "tools/artgen/Canvas.h"

#include <map>
#include <string>
#include <vector>

namespace Spindrel::Art
{

// The data folder being written: makes the folders, writes the pictures and
// remembers them by sheet, and lists the files read, for the build's depfile.
class Output
{
public:
    explicit Output(std::string root);
    ~Output();
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    const std::string& Root() const { return m_root; }

    // `stem` is relative to the root, without extension.
    void Png(const std::string& sheet, const std::string& stem, const Canvas& canvas);
    void Jpeg(const std::string& sheet, const std::string& stem, const Canvas& canvas);
    void Text(const std::string& relativePath, const std::string& text);
    void Copy(const std::string& from, const std::string& relativePath);

    // Shows a picture on a contact sheet without writing it as data.
    void Preview(const std::string& sheet, const std::string& name, const Canvas& canvas)
    {
        Keep(sheet, name, canvas);
    }

    // The kept copy of a written picture (path relative to the root, with
    // extension), or null.
    const cairo_surface_t* Kept(const std::string& name) const;

    void Read(const std::string& path) { m_inputs.push_back(path); }
    const std::vector<std::string>& Inputs() const { return m_inputs; }

    // Draws every written picture of each sheet on a labelled contact sheet
    // (PNG files in `folder`), for looking the art over.
    void WriteContactSheets(const std::string& folder, const class Faces& faces) const;

private:
    std::string Prepare(const std::string& relativePath);

    std::string m_root;
    std::vector<std::string> m_inputs;
    struct Written
    {
        std::string name;
        cairo_surface_t* surface;
    };
    void Keep(const std::string& sheet, const std::string& name, const Canvas& canvas);

    std::map<std::string, std::vector<Written>> m_sheets;
};

} // namespace Spindrel::Art
