#include "framework/diagnostics/SymbolDemangler.h"

#include <algorithm>
#include <cstring>

namespace Quillo
{
namespace
{

struct Operator
{
    const char code[3];
    const char* text;
};

constexpr Operator kOperators[] = {
    {"nw", "new"},   {"na", "new[]"}, {"dl", "delete"}, {"da", "delete[]"}, {"ps", "+"},   {"ng", "-"},
    {"ad", "&"},     {"de", "*"},     {"co", "~"},      {"pl", "+"},        {"mi", "-"},   {"ml", "*"},
    {"dv", "/"},     {"rm", "%"},     {"an", "&"},      {"or", "|"},        {"eo", "^"},   {"aS", "="},
    {"pL", "+="},    {"mI", "-="},    {"mL", "*="},     {"dV", "/="},       {"rM", "%="},  {"aN", "&="},
    {"oR", "|="},    {"eO", "^="},    {"ls", "<<"},     {"rs", ">>"},       {"lS", "<<="}, {"rS", ">>="},
    {"eq", "=="},    {"ne", "!="},    {"lt", "<"},      {"gt", ">"},        {"le", "<="},  {"ge", ">="},
    {"ss", "<=>"},   {"nt", "!"},     {"aa", "&&"},     {"oo", "||"},       {"pp", "++"},  {"mm", "--"},
    {"cm", ","},     {"pm", "->*"},   {"pt", "->"},     {"cl", "()"},       {"ix", "[]"},  {"qu", "?"},
};

struct Builtin
{
    char code;
    const char* text;
};

constexpr Builtin kBuiltins[] = {
    {'v', "void"},          {'w', "wchar_t"},       {'b', "bool"},
    {'c', "char"},          {'a', "signed char"},   {'h', "unsigned char"},
    {'s', "short"},         {'t', "unsigned short"}, {'i', "int"},
    {'j', "unsigned int"},  {'l', "long"},          {'m', "unsigned long"},
    {'x', "long long"},     {'y', "unsigned long long"}, {'n', "__int128"},
    {'o', "unsigned __int128"}, {'f', "float"},     {'d', "double"},
    {'e', "long double"},   {'g', "__float128"},    {'z', "..."},
};

// How an integer literal of a builtin type is written in template arguments.
struct LiteralStyle
{
    char code;
    const char* cast;   // "(type)" before the number, or null
    const char* suffix; // after it
};

constexpr LiteralStyle kLiterals[] = {
    {'i', nullptr, ""},  {'j', nullptr, "u"},  {'l', nullptr, "l"},   {'m', nullptr, "ul"},
    {'x', nullptr, "ll"}, {'y', nullptr, "ull"}, {'c', "(char)", ""}, {'a', "(signed char)", ""},
    {'h', "(unsigned char)", ""}, {'s', "(short)", ""}, {'t', "(unsigned short)", ""},
};

struct Range
{
    size_t begin = 0;
    size_t end = 0;
};

// What a name turned out to be, for the encoding that follows it.
struct NameInfo
{
    bool endsWithTemplateArgs = false;
    bool ctorDtorOrConversion = false;
    // Of a member function: const, volatile, and & (1) or && (2).
    bool isConst = false;
    bool isVolatile = false;
    int reference = 0;
};

// A recursive-descent reader of the mangling that writes as it reads into
// one buffer; substitutions and template parameters are ranges of what it
// wrote before.
class Reader
{
public:
    Reader(const char* in, char* out, size_t capacity) : m_p(in), m_out(out), m_capacity(capacity) {}

    bool Run()
    {
        if (!Eat('_') || !Eat('Z') || !Encoding(true))
            return false;
        while (m_ok && *m_p == '.' && ((m_p[1] >= 'a' && m_p[1] <= 'z') || m_p[1] == '_'))
        {
            // Clones the compiler made of a function: ".cold", ".isra.0".
            Put(" [clone ");
            const char* start = m_p++;
            while ((*m_p >= 'a' && *m_p <= 'z') || *m_p == '_')
                ++m_p;
            while (m_p[0] == '.' && m_p[1] >= '0' && m_p[1] <= '9')
                for (++m_p; *m_p >= '0' && *m_p <= '9'; ++m_p)
                {
                }
            PutText(start, size_t(m_p - start));
            Put(']');
        }
        if (!m_ok || *m_p != '\0' || m_length >= m_capacity)
            return false;
        m_out[m_length] = '\0';
        return true;
    }

private:
    static constexpr int kMaxSubstitutions = 256;
    static constexpr int kMaxTemplateArgs = 64;
    static constexpr int kMaxDepth = 64;

    bool Fail() { return m_ok = false; }
    bool Eat(char c)
    {
        if (*m_p != c)
            return false;
        ++m_p;
        return true;
    }
    bool Digit() const { return *m_p >= '0' && *m_p <= '9'; }

    void Put(char c)
    {
        if (m_length + 1 < m_capacity)
            m_out[m_length++] = c;
        else
            Fail();
    }
    void PutText(const char* text, size_t n)
    {
        for (size_t i = 0; i < n; ++i)
            Put(text[i]);
    }
    void Put(const char* text) { PutText(text, std::strlen(text)); }
    void PutRange(Range r)
    {
        for (size_t i = r.begin; i < r.end && m_ok; ++i)
            Put(m_out[i]);
    }
    void AddSubstitution(size_t begin)
    {
        if (m_subCount < kMaxSubstitutions)
            m_subs[m_subCount++] = Range{begin, m_length};
        else
            Fail();
    }

    size_t Number()
    {
        size_t n = 0;
        while (Digit() && n < 100000)
            n = n * 10 + size_t(*m_p++ - '0');
        return n;
    }

    // "_" is 0, "<base 36>_" is that plus 1.
    bool SequenceId(size_t& id)
    {
        id = 0;
        if (Eat('_'))
            return true;
        size_t n = 0;
        while ((*m_p >= '0' && *m_p <= '9') || (*m_p >= 'A' && *m_p <= 'Z'))
        {
            n = n * 36 + size_t(*m_p >= 'A' ? *m_p - 'A' + 10 : *m_p - '0');
            ++m_p;
        }
        id = n + 1;
        return Eat('_');
    }

    // outermost: the whole symbol, whose return type is shown (the runtime
    // leaves out that of a function holding a local entity).
    bool Encoding(bool outermost)
    {
        if (++m_depth > kMaxDepth)
            return Fail();
        const bool done = EncodingBody(outermost);
        --m_depth;
        return done && m_ok;
    }

    bool EncodingBody(bool outermost)
    {
        if (*m_p == 'T' || (*m_p == 'G' && m_p[1] == 'V'))
            return SpecialName();
        const size_t nameStart = m_length;
        NameInfo info;
        if (!Name(info, true))
            return false;
        if (*m_p == '\0' || *m_p == 'E' || *m_p == '.')
            return true;
        Range ret;
        if (info.endsWithTemplateArgs && !info.ctorDtorOrConversion)
        {
            if (!outermost)
                return Fail();
            ret.begin = m_length;
            if (!Type())
                return false;
            ret.end = m_length;
        }
        Put('(');
        if (*m_p == 'v' && (m_p[1] == '\0' || m_p[1] == 'E' || m_p[1] == '.'))
            ++m_p;
        else
            for (bool first = true; *m_p != '\0' && *m_p != 'E' && *m_p != '.'; first = false)
            {
                if (!first)
                    Put(", ");
                if (!Type())
                    return false;
            }
        Put(')');
        if (info.isConst)
            Put(" const");
        if (info.isVolatile)
            Put(" volatile");
        if (info.reference != 0)
            Put(info.reference == 1 ? " &" : " &&");
        if (ret.end > ret.begin)
        {
            // The return type is read after the name but written before it.
            std::rotate(m_out + nameStart, m_out + ret.begin, m_out + ret.end);
            Put(' ');
            std::rotate(m_out + nameStart + (ret.end - ret.begin), m_out + m_length - 1, m_out + m_length);
        }
        return m_ok;
    }

    bool SpecialName()
    {
        if (Eat('G'))
        {
            ++m_p;
            Put("guard variable for ");
            NameInfo info;
            return Name(info, false);
        }
        ++m_p;
        const char kind = *m_p++;
        switch (kind)
        {
        case 'V': Put("vtable for "); return Type();
        case 'I': Put("typeinfo for "); return Type();
        case 'S': Put("typeinfo name for "); return Type();
        case 'T': Put("VTT for "); return Type();
        case 'h':
            Put("non-virtual thunk to ");
            return CallOffset() && Encoding(true);
        case 'v':
            Put("virtual thunk to ");
            return CallOffset() && CallOffset() && Encoding(true);
        default: return Fail();
        }
    }

    // A thunk's offset: an optionally negative number and "_".
    bool CallOffset()
    {
        Eat('n');
        if (!Digit())
            return Fail();
        Number();
        return Eat('_') || Fail();
    }

    bool Name(NameInfo& info, bool functionLevel)
    {
        if (*m_p == 'N')
            return NestedName(info, functionLevel);
        if (*m_p == 'Z')
            return LocalName(info, functionLevel);
        const size_t start = m_length;
        bool substituted = false;
        if (m_p[0] == 'S' && m_p[1] == 't')
        {
            m_p += 2;
            Put("std::");
            if (!UnqualifiedName(info))
                return false;
        }
        else if (*m_p == 'S')
        {
            if (!Substitution())
                return false;
            if (*m_p != 'I')
                return Fail();
            substituted = true;
        }
        else if (!UnqualifiedName(info))
            return false;
        if (*m_p == 'I')
        {
            if (!substituted)
                AddSubstitution(start);
            if (!TemplateArgs(functionLevel))
                return false;
            info.endsWithTemplateArgs = true;
        }
        return m_ok;
    }

    bool NestedName(NameInfo& info, bool functionLevel)
    {
        ++m_p;
        for (;; ++m_p)
        {
            if (*m_p == 'V')
                info.isVolatile = true;
            else if (*m_p == 'K')
                info.isConst = true;
            else if (*m_p != 'r')
                break;
        }
        info.reference = Eat('R') ? 1 : Eat('O') ? 2 : 0;
        const size_t start = m_length;
        bool first = true;
        // After "std::string" and the like the runtime names the class in full.
        bool abbreviated = false;
        while (!Eat('E'))
        {
            if (!m_ok || *m_p == '\0')
                return Fail();
            info.endsWithTemplateArgs = false;
            if (*m_p == 'I')
            {
                // A constructor template stays a constructor: it has no
                // return type before its parameters.
                if (first || !TemplateArgs(functionLevel))
                    return Fail();
                info.endsWithTemplateArgs = true;
            }
            else
            {
                info.ctorDtorOrConversion = false;
                if (!first)
                    Put("::");
                if (m_p[0] == 'S' && m_p[1] == 't')
                {
                    m_p += 2;
                    Put("std");
                    first = false;
                    continue;
                }
                if (*m_p == 'S')
                {
                    abbreviated = m_p[1] >= 'a' && m_p[1] <= 'z';
                    if (!Substitution())
                        return false;
                    first = false;
                    continue;
                }
                if (*m_p == 'T')
                {
                    if (!TemplateParam())
                        return false;
                }
                else
                {
                    m_ctorName = LastComponent(start, m_length - (first ? 0 : 2), abbreviated);
                    if (!UnqualifiedName(info))
                        return false;
                }
            }
            first = false;
            if (*m_p != 'E')
                AddSubstitution(start);
        }
        return m_ok;
    }

    // The unqualified name, without template arguments, of the last part
    // of the text in [begin, end): "Matcher" of "testing::Matcher<int>".
    Range LastComponent(size_t begin, size_t end, bool abbreviated) const
    {
        if (abbreviated || end <= begin)
            return Range{};
        size_t from = begin;
        int depth = 0;
        for (size_t i = begin; i < end; ++i)
        {
            const char c = m_out[i];
            depth += c == '<' ? 1 : c == '>' ? -1 : 0;
            if (depth == 0 && c == ':' && i + 1 < end && m_out[i + 1] == ':')
                from = i + 2;
        }
        size_t to = from;
        while (to < end && m_out[to] != '<')
            ++to;
        return Range{from, to};
    }

    bool LocalName(NameInfo& info, bool functionLevel)
    {
        ++m_p;
        if (!Encoding(false) || !Eat('E'))
            return Fail();
        Put("::");
        if (Eat('s'))
            Put("string literal");
        else if (!Name(info, functionLevel))
            return false;
        // Discriminators of several entities of one name are not shown.
        if (Eat('_'))
        {
            if (Eat('_'))
            {
                Number();
                if (!Eat('_'))
                    return Fail();
            }
            else if (Digit())
                ++m_p;
            else
                return Fail();
        }
        return m_ok;
    }

    bool UnqualifiedName(NameInfo& info)
    {
        if (Digit())
            return SourceName();
        if (*m_p == 'L')
        {
            ++m_p;
            return SourceName();
        }
        if (*m_p == 'C' && m_p[1] >= '1' && m_p[1] <= '5')
        {
            m_p += 2;
            info.ctorDtorOrConversion = true;
            if (m_ctorName.end <= m_ctorName.begin)
                return Fail();
            PutRange(m_ctorName);
            return AbiTags();
        }
        if (*m_p == 'D' && m_p[1] >= '0' && m_p[1] <= '2')
        {
            m_p += 2;
            info.ctorDtorOrConversion = true;
            if (m_ctorName.end <= m_ctorName.begin)
                return Fail();
            Put('~');
            PutRange(m_ctorName);
            return AbiTags();
        }
        if (m_p[0] == 'U' && m_p[1] == 'l')
            return Closure();
        if (m_p[0] == 'U' && m_p[1] == 't')
        {
            m_p += 2;
            const size_t n = Digit() ? Number() + 2 : 1;
            if (!Eat('_'))
                return Fail();
            Put("{unnamed type#");
            PutNumber(n);
            Put('}');
            return true;
        }
        if (m_p[0] == 'c' && m_p[1] == 'v')
        {
            m_p += 2;
            info.ctorDtorOrConversion = true;
            Put("operator ");
            return Type();
        }
        for (const Operator& op : kOperators)
        {
            if (m_p[0] == op.code[0] && m_p[1] == op.code[1])
            {
                m_p += 2;
                Put("operator");
                if (op.text[0] >= 'a' && op.text[0] <= 'z')
                    Put(' ');
                Put(op.text);
                return AbiTags();
            }
        }
        return Fail();
    }

    bool SourceName()
    {
        if (!Digit())
            return Fail();
        const size_t n = Number();
        if (n == 0 || std::strlen(m_p) < n)
            return Fail();
        if (n >= 10 && std::strncmp(m_p, "_GLOBAL__N", 10) == 0)
            Put("(anonymous namespace)");
        else
            PutText(m_p, n);
        m_p += n;
        return AbiTags();
    }

    bool AbiTags()
    {
        while (Eat('B'))
        {
            const size_t n = Number();
            if (n == 0 || std::strlen(m_p) < n)
                return Fail();
            Put("[abi:");
            PutText(m_p, n);
            Put(']');
            m_p += n;
        }
        return m_ok;
    }

    // A lambda's type: "{lambda(int const&)#2}".
    bool Closure()
    {
        m_p += 2;
        Put("{lambda(");
        if (*m_p == 'v' && m_p[1] == 'E')
            ++m_p;
        else
            for (bool first = true; *m_p != 'E'; first = false)
            {
                if (*m_p == '\0')
                    return Fail();
                if (!first)
                    Put(", ");
                if (!Type())
                    return false;
            }
        ++m_p;
        const size_t n = Digit() ? Number() + 2 : 1;
        if (!Eat('_'))
            return Fail();
        Put(")#");
        PutNumber(n);
        Put('}');
        return m_ok;
    }

    void PutNumber(size_t n)
    {
        char digits[24];
        int count = 0;
        do
        {
            digits[count++] = char('0' + n % 10);
            n /= 10;
        } while (n != 0);
        while (count > 0)
            Put(digits[--count]);
    }

    bool Substitution()
    {
        ++m_p;
        switch (*m_p)
        {
        case 'a': ++m_p; Put("std::allocator"); return true;
        case 'b': ++m_p; Put("std::basic_string"); return true;
        case 's': ++m_p; Put("std::string"); return true;
        case 'i': ++m_p; Put("std::istream"); return true;
        case 'o': ++m_p; Put("std::ostream"); return true;
        case 'd': ++m_p; Put("std::iostream"); return true;
        default: break;
        }
        size_t id = 0;
        if (!SequenceId(id) || id >= size_t(m_subCount))
            return Fail();
        PutRange(m_subs[id]);
        return m_ok;
    }

    bool TemplateParam()
    {
        ++m_p;
        size_t id = 0;
        if (!SequenceId(id) || id >= size_t(m_argCount))
            return Fail();
        PutRange(m_args[id]);
        return m_ok;
    }

    bool TemplateArgs(bool functionLevel)
    {
        ++m_p;
        // Only a function's own arguments are kept, for its parameters' T_;
        // an argument's own template arguments are not.
        Range scratch[1];
        Range* args = functionLevel ? m_pendingArgs : scratch;
        const int room = functionLevel ? kMaxTemplateArgs : 1;
        int count = 0;
        // "operator< <int>", as the runtime writes it.
        if (m_length > 0 && m_out[m_length - 1] == '<')
            Put(' ');
        Put('<');
        for (bool first = true; !Eat('E'); first = false)
        {
            if (!m_ok || *m_p == '\0')
                return Fail();
            if (!first)
                Put(", ");
            const size_t begin = m_length;
            if (!TemplateArg())
                return false;
            if (count < room)
                args[count] = Range{begin, m_length};
            else if (functionLevel)
                return Fail();
            ++count;
        }
        // "> >", as the runtime writes it.
        if (m_length > 0 && m_out[m_length - 1] == '>')
            Put(' ');
        Put('>');
        if (functionLevel)
        {
            std::copy(args, args + count, m_args);
            m_argCount = count;
        }
        return m_ok;
    }

    bool TemplateArg()
    {
        if (Eat('J'))
        {
            for (bool first = true; !Eat('E'); first = false)
            {
                if (!m_ok || *m_p == '\0')
                    return Fail();
                if (!first)
                    Put(", ");
                if (!TemplateArg())
                    return false;
            }
            return m_ok;
        }
        if (*m_p == 'L')
            return Literal();
        if (*m_p == 'X')
            return Fail();
        return Type();
    }

    bool Literal()
    {
        ++m_p;
        const char type = *m_p++;
        if (type == 'b' && (*m_p == '0' || *m_p == '1'))
        {
            Put(*m_p++ == '1' ? "true" : "false");
            return Eat('E') || Fail();
        }
        for (const LiteralStyle& style : kLiterals)
        {
            if (style.code != type)
                continue;
            if (style.cast)
                Put(style.cast);
            if (Eat('n'))
                Put('-');
            if (!Digit())
                return Fail();
            while (Digit())
                Put(*m_p++);
            Put(style.suffix);
            return Eat('E') || Fail();
        }
        return Fail();
    }

    bool Type()
    {
        if (++m_depth > kMaxDepth)
            return Fail();
        const bool done = TypeBody();
        --m_depth;
        return done && m_ok;
    }

    bool TypeBody()
    {
        const size_t start = m_length;
        for (const Builtin& b : kBuiltins)
        {
            if (*m_p == b.code)
            {
                ++m_p;
                Put(b.text);
                return true;
            }
        }
        switch (*m_p)
        {
        case 'D': {
            ++m_p;
            const char kind = *m_p++;
            const char* text = kind == 'n'   ? "decltype(nullptr)"
                               : kind == 'i' ? "char32_t"
                               : kind == 's' ? "char16_t"
                               : kind == 'u' ? "char8_t"
                               : kind == 'a' ? "auto"
                               : kind == 'c' ? "decltype(auto)"
                                             : nullptr;
            if (!text)
                return Fail();
            Put(text);
            return true;
        }
        case 'r':
        case 'V':
        case 'K': {
            bool isRestrict = false, isVolatile = false, isConst = false;
            for (;; ++m_p)
            {
                if (*m_p == 'r')
                    isRestrict = true;
                else if (*m_p == 'V')
                    isVolatile = true;
                else if (*m_p == 'K')
                    isConst = true;
                else
                    break;
            }
            if (*m_p == 'F' || !Type())
                return Fail();
            if (isConst)
                Put(" const");
            if (isVolatile)
                Put(" volatile");
            if (isRestrict)
                Put(" restrict");
            AddSubstitution(start);
            return m_ok;
        }
        case 'P':
        case 'R':
        case 'O': {
            const char kind = *m_p++;
            if (*m_p == 'F' || *m_p == 'A' || *m_p == 'M' || !Type())
                return Fail();
            Put(kind == 'P' ? "*" : kind == 'R' ? "&" : "&&");
            AddSubstitution(start);
            return m_ok;
        }
        case 'S': {
            if (m_p[1] == 't')
            {
                m_p += 2;
                Put("std::");
                NameInfo info;
                if (!UnqualifiedName(info))
                    return false;
                AddSubstitution(start);
            }
            else
            {
                if (!Substitution())
                    return false;
                if (*m_p != 'I')
                    return m_ok;
            }
            if (*m_p == 'I')
            {
                if (!TemplateArgs(false))
                    return false;
                AddSubstitution(start);
            }
            return m_ok;
        }
        case 'T': {
            if (!TemplateParam())
                return false;
            return SubstitutionWithArgs(start);
        }
        case 'N':
        case 'Z': {
            NameInfo info;
            if (!Name(info, false))
                return false;
            AddSubstitution(start);
            return m_ok;
        }
        default:
            break;
        }
        if (!Digit())
            return Fail();
        if (!SourceName())
            return false;
        return SubstitutionWithArgs(start);
    }

    // What was read from `start` is a substitution candidate, and so is it
    // with the template arguments that may follow.
    bool SubstitutionWithArgs(size_t start)
    {
        AddSubstitution(start);
        if (*m_p == 'I')
        {
            if (!TemplateArgs(false))
                return false;
            AddSubstitution(start);
        }
        return m_ok;
    }

    const char* m_p;
    char* m_out;
    size_t m_capacity;
    size_t m_length = 0;
    bool m_ok = true;
    int m_depth = 0;
    Range m_subs[kMaxSubstitutions];
    int m_subCount = 0;
    Range m_args[kMaxTemplateArgs];
    Range m_pendingArgs[kMaxTemplateArgs];
    int m_argCount = 0;
    // The class a constructor or destructor in a nested name belongs to.
    Range m_ctorName;
};

} // namespace

bool SymbolDemangler::Demangle(const char* mangled, char* buffer, size_t capacity)
{
    if (!mangled || capacity == 0 || mangled[0] != '_' || mangled[1] != 'Z')
        return false;
    Reader reader(mangled, buffer, capacity);
    return reader.Run();
}

} // namespace Quillo
