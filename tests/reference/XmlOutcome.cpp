#include "XmlOutcome.h"

#include "framework/resources/XMLParser.h"

#include <expat.h>

using Quillo::XMLElement;
using Quillo::XMLParser;

namespace XmlOutcome
{
namespace
{

// Runs of whitespace become one blank, and none at either end: the reader
// hands text out that way, and expat's text is compared in the same form.
std::string Collapsed(const std::string& text)
{
    std::string out;
    bool blank = false;
    for (char c : text)
    {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
        {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

struct ExpatState
{
    Outcome outcome;
    std::string text;

    void Flush()
    {
        const std::string t = Collapsed(text);
        if (!t.empty())
            outcome.events.push_back("text " + t);
        text.clear();
    }
};

} // namespace

Outcome ParseWithExpat(const std::string& document)
{
    ExpatState state;
    XML_Parser parser = XML_ParserCreate("UTF-8");
    XML_SetUserData(parser, &state);
    XML_SetElementHandler(
        parser,
        [](void* data, const XML_Char* name, const XML_Char** attributes) {
            auto* s = static_cast<ExpatState*>(data);
            s->Flush();
            std::string event = std::string("start ") + name;
            for (int i = 0; attributes[i]; i += 2)
                event += std::string(" ") + attributes[i] + "=" + attributes[i + 1];
            s->outcome.events.push_back(event);
        },
        [](void* data, const XML_Char* name) {
            auto* s = static_cast<ExpatState*>(data);
            s->Flush();
            s->outcome.events.push_back(std::string("end ") + name);
        });
    XML_SetCharacterDataHandler(parser, [](void* data, const XML_Char* text, int length) {
        static_cast<ExpatState*>(data)->text.append(text, size_t(length));
    });
    XML_SetProcessingInstructionHandler(parser, [](void* data, const XML_Char* target, const XML_Char* body) {
        auto* s = static_cast<ExpatState*>(data);
        s->Flush();
        s->outcome.events.push_back(std::string("pi ") + target + " " + body);
    });
    XML_SetCommentHandler(parser, [](void* data, const XML_Char*) { static_cast<ExpatState*>(data)->Flush(); });
    if (XML_Parse(parser, document.data(), int(document.size()), XML_TRUE) == XML_STATUS_ERROR)
    {
        state.outcome.ok = false;
        state.outcome.error = XML_ErrorString(XML_GetErrorCode(parser));
        state.outcome.line = int(XML_GetCurrentLineNumber(parser));
    }
    state.Flush();
    XML_ParserFree(parser);
    return state.outcome;
}

Outcome ParseWithOurs(const std::string& document)
{
    XMLParser parser;
    parser.OpenText("doc.xml", document);
    Outcome outcome;
    XMLElement e;
    while (parser.NextElement(e))
    {
        switch (e.type)
        {
        case XMLElement::Type::Start:
        {
            std::string event = "start " + e.value;
            for (const std::string& name : e.attributeOrder)
                event += " " + name + "=" + e.attributes.at(name);
            outcome.events.push_back(event);
            break;
        }
        case XMLElement::Type::End:
            outcome.events.push_back("end " + e.value);
            break;
        case XMLElement::Type::Text:
            outcome.events.push_back("text " + Collapsed(e.value));
            break;
        case XMLElement::Type::Instruction:
            // The XML declaration is no instruction to expat.
            if (e.value != "xml")
                outcome.events.push_back("pi " + e.value + " " + e.instruction);
            break;
        default:
            break;
        }
    }
    outcome.ok = !parser.HasFailed();
    outcome.error = parser.GetErrorText();
    outcome.line = parser.GetLineNum();
    return outcome;
}

} // namespace XmlOutcome
