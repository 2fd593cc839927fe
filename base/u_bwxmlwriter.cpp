#include "base/u_bwxmlwriter.h"

#include "base/platform/u_wholefile.h"

namespace {

void AppendEscaped(std::string& out, const char* text, bool inAttribute)
{
    for (; *text; ++text) {
        switch (*text) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '\r': out += "&#xD;"; break;
        case '"':
            out += inAttribute ? "&quot;" : "\"";
            break;
        default: out += *text;
        }
    }
}

void AppendNode(std::string& out, const pugi::xml_node& node)
{
    switch (node.type()) {
    case pugi::node_pcdata:
    case pugi::node_cdata:
        AppendEscaped(out, node.value(), false);
        return;
    case pugi::node_element:
        out.append("<").append(node.name());
        for (const pugi::xml_attribute& attribute : node.attributes()) {
            out.append(" ").append(attribute.name()).append("=\"");
            AppendEscaped(out, attribute.value(), true);
            out += '"';
        }
        out += '>';
        for (const pugi::xml_node& child : node.children())
            AppendNode(out, child);
        out.append("</").append(node.name()).append(">");
        return;
    default:
        return;
    }
}

// One line per tag pair: the document as one line, "><" split, then every
// line (also the last) ended by CR LF, whichever line break cut it.
std::string WithCrLfLines(const std::string& flat)
{
    std::string out;
    out.reserve(flat.size() + flat.size() / 8);
    for (std::size_t i = 0; i < flat.size(); ++i) {
        const char c = flat[i];
        if (c == '\r' || c == '\n') {
            out += "\r\n";
            if (c == '\r' && i + 1 < flat.size() && flat[i + 1] == '\n')
                ++i;
        } else {
            out += c;
            if (c == '>' && i + 1 < flat.size() && flat[i + 1] == '<')
                out += "\r\n";
        }
    }
    return out + "\r\n";
}

}  // namespace

std::string XmlFileText(const pugi::xml_document& document)
{
    std::string flat = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    for (const pugi::xml_node& child : document.children())
        if (child.type() == pugi::node_element)
            AppendNode(flat, child);
    return WithCrLfLines(flat);
}

bool SaveXmlFile(const pugi::xml_document& document, const std::string& fileName)
{
    return ReplaceWholeFile(fileName, XmlFileText(document));
}
