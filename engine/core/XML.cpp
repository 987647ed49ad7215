#include "core/XML.h"

#include <cassert>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>
#include <utility>

#include <expat.h>

#include "core/RegularFile.h"

static_assert(std::is_same_v<XML_Char, char>, "expat must deliver UTF-8 bytes");

namespace
{

// atoi's reading (leading blanks, optional sign, leading digits) without its
// undefined behaviour on overflow: out-of-range values saturate.
int ReadInt(const String& text)
{
    const long value = std::strtol(text.GetText(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

double ReadDouble(const String& text)
{
    return std::strtod(text.GetText(), nullptr);
}

// Narrowing a double beyond float's range is undefined; give the infinity
// that IEEE rounding would.
float ToFloat(double value)
{
    if (std::fabs(value) > FLT_MAX)
        return value > 0 ? HUGE_VALF : -HUGE_VALF;
    return static_cast<float>(value);
}

struct ParserDeleter
{
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};
using ParserPtr = std::unique_ptr<std::remove_pointer_t<XML_Parser>, ParserDeleter>;

// Parse state behind the expat callbacks. expat slices the character data
// between two tags into several runs (every line break is one of its own),
// so the runs are gathered here and the text rule is applied to the whole
// stretch when the next tag arrives: indentation then yields no text at all.
struct TreeBuilder
{
    CXMLDocument* document = nullptr;
    CXMLNode* cursor = nullptr;
    std::string pending;

    void FlushText()
    {
        // A stretch opening with a control byte or a non-ASCII byte is
        // dropped; otherwise it replaces the element's text.
        if (!pending.empty() && static_cast<signed char>(pending[0]) >= 32 && cursor)
            cursor->SetText(String(pending.data(), static_cast<unsigned>(pending.size())));
        pending.clear();
    }
};

void OnStartElement(void* user, const XML_Char* name, const XML_Char** attributes)
{
    auto& builder = *static_cast<TreeBuilder*>(user);
    builder.FlushText();
    if (builder.cursor == builder.document && builder.document->GetName().GetLength() == 0)
    {
        builder.document->SetName(name);
        return;
    }
    if (!builder.cursor)
        return;
    CXMLNode node;
    node.SetName(name);
    for (const XML_Char** pair = attributes; pair[0]; pair += 2)
        node.AddAttribute(CXMLAttribute(pair[0], pair[1]));
    builder.cursor = builder.cursor->AddChild(std::move(node));
}

void OnEndElement(void* user, const XML_Char* /*name*/)
{
    auto& builder = *static_cast<TreeBuilder*>(user);
    builder.FlushText();
    if (builder.cursor == builder.document)
        builder.cursor = nullptr;
    else if (builder.cursor)
        builder.cursor = builder.cursor->GetParent();
}

void OnCharacterData(void* user, const XML_Char* run, int length)
{
    auto& builder = *static_cast<TreeBuilder*>(user);
    if (length > 0 && builder.cursor)
        builder.pending.append(run, static_cast<size_t>(length));
}

} // namespace

CXMLAttribute::CXMLAttribute(const String& name, const String& value) : m_name(name), m_value(value)
{
}

int CXMLAttribute::AsInt() const
{
    return ReadInt(m_value);
}

float CXMLAttribute::AsFloat() const
{
    return ToFloat(ReadDouble(m_value));
}

bool CXMLAttribute::AsBool() const
{
    m_value.ToLower();
    return m_value == String("true") || ReadInt(m_value) > 0;
}

void CXMLAttribute::SetValue(const String& value)
{
    m_value = value;
}

void CXMLAttribute::SetValue(int value)
{
    m_value.Format("%d", value);
}

CXMLNode::CXMLNode(const CXMLNode& source) : m_parent(source.m_parent)
{
    CopyContents(source);
}

CXMLNode::CXMLNode(CXMLNode&& source) noexcept
    : m_name(std::move(source.m_name)), m_text(std::move(source.m_text)),
      m_attributes(std::move(source.m_attributes)), m_children(std::move(source.m_children)),
      m_parent(source.m_parent)
{
    source.m_children.clear();
    for (auto& child : m_children)
        child->m_parent = this;
}

CXMLNode& CXMLNode::operator=(const CXMLNode& source)
{
    if (this == &source)
        return *this;
    // Copy first: the source may live inside the subtree about to be cleared.
    CXMLNode copy(source);
    return *this = std::move(copy);
}

CXMLNode& CXMLNode::operator=(CXMLNode&& source) noexcept
{
    if (this == &source)
        return *this;
    // Take the source's contents before clearing, for the same reason.
    String name = std::move(source.m_name);
    String text = std::move(source.m_text);
    std::vector<CXMLAttribute> attributes = std::move(source.m_attributes);
    std::vector<std::unique_ptr<CXMLNode>> children = std::move(source.m_children);
    source.m_children.clear();
    Clear();
    m_name = std::move(name);
    m_text = std::move(text);
    m_attributes = std::move(attributes);
    m_children = std::move(children);
    for (auto& child : m_children)
        child->m_parent = this;
    return *this;
}

CXMLNode::~CXMLNode()
{
    DestroyChildren();
}

void CXMLNode::Clear() noexcept
{
    m_name = String();
    m_text = String();
    m_attributes.clear();
    DestroyChildren();
}

void CXMLNode::CopyContents(const CXMLNode& source)
{
    // An explicit work list of (source, copy) pairs instead of recursion.
    std::vector<std::pair<const CXMLNode*, CXMLNode*>> work{{&source, this}};
    while (!work.empty())
    {
        const auto [from, to] = work.back();
        work.pop_back();
        to->m_name = from->m_name;
        to->m_text = from->m_text;
        to->m_attributes = from->m_attributes;
        to->m_children.reserve(from->m_children.size());
        for (const auto& child : from->m_children)
        {
            to->m_children.push_back(std::make_unique<CXMLNode>());
            CXMLNode* copy = to->m_children.back().get();
            copy->m_parent = to;
            work.emplace_back(child.get(), copy);
        }
    }
}

void CXMLNode::DestroyChildren() noexcept
{
    // Frees leaves first, climbing back through the parent links, so neither
    // recursion nor an allocation is needed however deep the tree is.
    CXMLNode* node = this;
    while (true)
    {
        if (!node->m_children.empty())
        {
            node = node->m_children.back().get();
            continue;
        }
        if (node == this)
            break;
        CXMLNode* parent = node->m_parent;
        assert(parent && parent->m_children.back().get() == node &&
               "CXMLNode::DestroyChildren(): broken parent link");
        parent->m_children.pop_back();
        node = parent;
    }
}

CXMLNode* CXMLNode::AddChild(const CXMLNode& node)
{
    m_children.push_back(std::make_unique<CXMLNode>(node));
    m_children.back()->m_parent = this;
    return m_children.back().get();
}

CXMLNode* CXMLNode::AddChild(CXMLNode&& node)
{
    m_children.push_back(std::make_unique<CXMLNode>(std::move(node)));
    m_children.back()->m_parent = this;
    return m_children.back().get();
}

void CXMLNode::AddAttribute(const CXMLAttribute& attribute)
{
    m_attributes.push_back(attribute);
}

CXMLNode* CXMLNode::GetChild(unsigned index)
{
    return index < m_children.size() ? m_children[index].get() : nullptr;
}

const CXMLNode* CXMLNode::GetChild(unsigned index) const
{
    return index < m_children.size() ? m_children[index].get() : nullptr;
}

const CXMLAttribute* CXMLNode::GetAttributeAt(unsigned index) const
{
    return index < m_attributes.size() ? &m_attributes[index] : nullptr;
}

CXMLAttribute* CXMLNode::GetAttribute(const String& name, unsigned occurrence)
{
    return const_cast<CXMLAttribute*>(std::as_const(*this).GetAttribute(name, occurrence));
}

const CXMLAttribute* CXMLNode::GetAttribute(const String& name, unsigned occurrence) const
{
    if (occurrence == 0)
        return nullptr;
    for (const CXMLAttribute& attribute : m_attributes)
        if (attribute.GetName() == name && --occurrence == 0)
            return &attribute;
    return nullptr;
}

String CXMLNode::GetAttributeString(const String& name, unsigned occurrence) const
{
    const CXMLAttribute* attribute = GetAttribute(name, occurrence);
    return attribute ? attribute->GetValue() : String();
}

int CXMLNode::GetAttributeInt(const String& name, unsigned occurrence) const
{
    const CXMLAttribute* attribute = GetAttribute(name, occurrence);
    return attribute ? attribute->AsInt() : 0;
}

float CXMLNode::GetAttributeFloat(const String& name, unsigned occurrence) const
{
    const CXMLAttribute* attribute = GetAttribute(name, occurrence);
    return attribute ? attribute->AsFloat() : 0.0f;
}

double CXMLNode::GetAttributeDouble(const String& name, unsigned occurrence) const
{
    const CXMLAttribute* attribute = GetAttribute(name, occurrence);
    return attribute ? ReadDouble(attribute->GetValue()) : 0.0;
}

bool CXMLNode::GetAttributeBool(const String& name, unsigned occurrence) const
{
    const CXMLAttribute* attribute = GetAttribute(name, occurrence);
    return attribute && attribute->AsBool();
}

bool CXMLDocument::Load(const String& path)
{
    std::vector<uint8_t> data;
    if (!ReadRegularFile(path, data, kMaxFileBytes))
        return false;
    data.push_back(0);
    return Parse(reinterpret_cast<const char*>(data.data()));
}

bool CXMLDocument::Parse(const char* text)
{
    Clear();
    ParserPtr parser(XML_ParserCreate(nullptr));
    if (!parser)
        return false;
    TreeBuilder builder;
    builder.document = this;
    builder.cursor = this;
    XML_SetUserData(parser.get(), &builder);
    XML_SetElementHandler(parser.get(), OnStartElement, OnEndElement);
    XML_SetCharacterDataHandler(parser.get(), OnCharacterData);

    // The input is final: a truncated or empty document is an error.
    // XML_Parse takes an int length, so feed giant inputs in pieces.
    size_t left = text ? std::strlen(text) : 0;
    const char* at = text ? text : "";
    bool ok = true;
    do
    {
        const int piece = static_cast<int>(left < INT_MAX ? left : INT_MAX);
        left -= static_cast<size_t>(piece);
        ok = XML_Parse(parser.get(), at, piece, left == 0) == XML_STATUS_OK;
        at += piece;
    } while (ok && left > 0);
    builder.FlushText();
    return ok;
}
