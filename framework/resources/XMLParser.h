#pragma once

#include "framework/resources/XMLElement.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Quillo
{

// A pull parser for the small XML dialect of the resource manifest. The
// caller asks for one element after another; the parser keeps the path of
// open elements so that every end tag is checked against its start tag.
// Errors never throw: the first one is kept with its line number and every
// later NextElement returns false.
class XMLParser
{
public:
    bool OpenFile(const std::string& path);
    // Parses text already in memory as if it had been read from fileName.
    void OpenText(const std::string& fileName, std::string text);

    bool NextElement(XMLElement& element);

    bool HasFailed() const { return m_hasFailed; }
    const std::string& GetErrorText() const { return m_errorText; }
    int32_t GetLineNum() const { return m_lineNum; }
    const std::string& GetFileName() const { return m_fileName; }

    void SetKeepComments(bool keep) { m_keepComments = keep; }

    // Replaces the named character entities and numeric references
    // ("&#10;", "&#x41;", written out as UTF-8); unknown names leave a lone '&'.
    static std::string DecodeEntities(std::string_view text);

private:
    // -1 at the end of the input.
    int NextChar();
    // Consumes `text` when the input continues with it.
    bool ConsumeIf(std::string_view text);
    // The error is reported at `line`, where the faulty construct began.
    void Fail(const std::string& message, int32_t line);
    void Fail(const std::string& message) { Fail(message, m_lineNum); }
    bool ReadElement(XMLElement& element);
    // After "<!DOCTYPE": skips the declaration, which carries nothing the
    // reader uses; an internal subset is refused.
    bool SkipDoctype(int32_t startLine);
    void CompleteStartTag(XMLElement& element, bool selfClosing, int32_t startLine);
    bool CompleteEndTag(const XMLElement& element);

    std::string m_fileName;
    std::string m_errorText;
    int32_t m_lineNum = 0;
    std::string m_data;
    size_t m_pos = 0;
    bool m_hasFailed = false;
    bool m_keepComments = false;
    std::vector<char> m_pushback;
    std::string m_section;
    // The line of each open element's start tag, innermost last.
    std::vector<int32_t> m_openLines;
};

} // namespace Quillo
