#include "maps/XmlFileStorage.h"

#include "Modules/GeneralLib.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QXmlStreamReader>

namespace zembrik {

struct XmlFileStorage::Node {
    QString name;
    QString value;
    std::vector<std::unique_ptr<Node>> children;

    Node *child(const QString &n) const
    {
        for (const auto &c : children)
            if (c->name.compare(n, Qt::CaseInsensitive) == 0)
                return c.get();
        return nullptr;
    }
};

namespace {

const char *const kCodePage = "windows-1252"; // our 8-bit code page, as on Windows
const QString kCodePageName = QStringLiteral("Windows-1252");

// Characters XML 1.0 does not allow even as references travel through the
// parser as private-use characters.
constexpr char16_t kControlBase = 0xE000;

QString decode8Bit(const QByteArray &bytes)
{
    QStringDecoder d(kCodePage);
    if (!d.isValid())
        return QString::fromLatin1(bytes);
    return d.decode(bytes);
}

QByteArray encode8Bit(const QString &text)
{
    QStringEncoder e(kCodePage, QStringConverter::Flag::Stateless);
    if (!e.isValid())
        return text.toLatin1();
    QByteArray out;
    out.reserve(text.size());
    // Character by character, so that what the code page lacks becomes "?".
    for (QChar c : text) {
        if (c.unicode() < 0x80) {
            out.append(char(c.unicode()));
            continue;
        }
        QStringEncoder one(kCodePage);
        const QByteArray b = one.encode(QString(c));
        out.append(one.hasError() || b.size() != 1 ? QByteArray("?") : b);
    }
    return out;
}

bool asciiCompatible(const QString &encoding)
{
    const QString lower = encoding.toLower();
    if (lower == QLatin1String("utf-8") || lower == QLatin1String("utf8") || lower.startsWith(QLatin1String("utf-16")))
        return true;
    QStringEncoder e(encoding.toLatin1().constData());
    if (!e.isValid())
        return false;
    static const QString probe = QStringLiteral("<?xml version=\"1.0\"?>\r\n</AZaz09_-.:&#;>");
    return e.encode(probe) == probe.toLatin1() && !e.hasError();
}

// Prolog items are written back as read, so only plain ASCII ones are kept.
bool plainAscii(QStringView text)
{
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u > 0x7E || (u < 0x20 && u != '\t' && u != '\n' && u != '\r'))
            return false;
    }
    return true;
}

bool illegalControl(uint v)
{
    return v <= 0x08 || v == 0x0B || v == 0x0C || (v >= 0x0E && v <= 0x1F);
}

QString protectControlRefs(const QString &text)
{
    static const QRegularExpression ref(QStringLiteral("&#(x[0-9A-Fa-f]+|[0-9]+);"));
    QString out;
    qsizetype last = 0;
    auto it = ref.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString digits = m.captured(1);
        bool ok = false;
        const uint v = digits.startsWith(QLatin1Char('x')) ? digits.mid(1).toUInt(&ok, 16) : digits.toUInt(&ok, 10);
        if (!ok || !illegalControl(v))
            continue;
        out += QStringView(text).mid(last, m.capturedStart() - last);
        out += QChar(char16_t(kControlBase + v));
        last = m.capturedEnd();
    }
    if (last == 0)
        return text;
    out += QStringView(text).mid(last);
    return out;
}

// References carry Windows-1252 bytes: turn them back into those characters.
QString decodeValue(const QString &parsed)
{
    QString out = parsed;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        if (u >= kControlBase && u < kControlBase + 0x20)
            c = QChar(char16_t(u - kControlBase));
        else if (u >= 0x80 && u <= 0x9F)
            c = decode8Bit(QByteArray(1, char(u))).at(0);
    }
    return out;
}

QList<QPair<QString, QString>> parseAttributes(const QString &declarationBody)
{
    static const QRegularExpression attr(
        QStringLiteral("([A-Za-z_:][-A-Za-z0-9_.:]*)\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"));
    QList<QPair<QString, QString>> list;
    auto it = attr.globalMatch(declarationBody);
    while (it.hasNext()) {
        const auto m = it.next();
        list.append({m.captured(1), m.captured(2).isNull() ? m.captured(3) : m.captured(2)});
    }
    return list;
}

QString attribute(const QList<QPair<QString, QString>> &list, const QString &name)
{
    for (const auto &a : list)
        if (a.first == name)
            return a.second;
    return {};
}

bool hasAttribute(const QList<QPair<QString, QString>> &list, const QString &name)
{
    for (const auto &a : list)
        if (a.first == name)
            return true;
    return false;
}

void writeNode(const XmlFileStorage::Node &node, int level, QString &out)
{
    const QString indent(2 * level, QLatin1Char(' '));
    if (!node.children.empty()) {
        out += indent + QLatin1Char('<') + node.name + QStringLiteral(">\r\n");
        for (const auto &c : node.children)
            writeNode(*c, level + 1, out);
        out += indent + QStringLiteral("</") + node.name + QStringLiteral(">\r\n");
    } else if (node.value.isEmpty()) {
        out += indent + QLatin1Char('<') + node.name + QStringLiteral("/>\r\n");
    } else {
        out += indent + QLatin1Char('<') + node.name + QLatin1Char('>') + XmlFileStorage::EncodeText(node.value) +
               QStringLiteral("</") + node.name + QStringLiteral(">\r\n");
    }
}

} // namespace

XmlFileStorage::XmlFileStorage(const QString &rootName)
    : root_(std::make_unique<Node>()), rootName_(LegalName(rootName))
{
    root_->name = rootName_;
    readEncoding_ = kCodePageName;
}

XmlFileStorage::~XmlFileStorage() = default;

QString XmlFileStorage::DocumentRootName() const
{
    return root_ ? root_->name : QString();
}

void XmlFileStorage::SetRootName(const QString &name)
{
    rootName_ = LegalName(name);
    if (!root_)
        root_ = std::make_unique<Node>();
    root_->name = rootName_;
}

QString XmlFileStorage::LegalName(const QString &part)
{
    QString out;
    out.reserve(part.size());
    for (QChar c : part) {
        if (c.isSpace())
            throw EStoreError(QStringLiteral("The name \"%1\" contains white space.").arg(part));
        const char16_t u = c.unicode();
        const bool legal = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') || u == '_' ||
                           u == '-' || u == '.' || u == ':';
        out += legal ? c : QLatin1Char('_');
    }
    return out;
}

QString XmlFileStorage::EncodeText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const char byte : encode8Bit(text)) {
        const auto b = static_cast<unsigned char>(byte);
        switch (b) {
        case '"':
            out += QStringLiteral("&quot;");
            break;
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '\'':
            out += QStringLiteral("&apos;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        default:
            if (b >= 0x80 || illegalControl(b))
                out += QStringLiteral("&#x%1;").arg(uint(b), 2, 16, QLatin1Char('0'));
            else
                out += QLatin1Char(byte);
        }
    }
    return out;
}

QStringList XmlFileStorage::SplitPath(const QString &path)
{
    QStringList parts;
    for (const QString &p : path.split(QLatin1Char('\\'), Qt::SkipEmptyParts)) {
        if (p == QLatin1String("."))
            continue;
        if (p == QLatin1String("..")) {
            if (!parts.isEmpty())
                parts.removeLast();
            continue;
        }
        parts.append(p);
    }
    return parts;
}

void XmlFileStorage::SetFileName(const QString &fileName, bool read)
{
    QString name = fileName;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".xml");
    fileName_ = name;
    readOnly_ = false;
    root_ = std::make_unique<Node>();
    root_->name = rootName_;
    declaration_.clear();
    hadDeclaration_ = false;
    prolog_.clear();
    readEncoding_ = kCodePageName;
    QFile file(name);
    if (!read || !file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly))
        throw EStoreError(QStringLiteral("%1: %2").arg(name, file.errorString()));
    const QByteArray bytes = file.readAll();
    try {
        Parse(bytes);
    } catch (const EStoreError &e) {
        throw EStoreError(QStringLiteral("%1: %2").arg(name, e.message()));
    }
    // Marked read-only: no write permission for its owner, which holds for
    // root as well, or not writable by us.
    const QFileInfo info(name);
    readOnly_ = !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner);
}

void XmlFileStorage::Parse(const QByteArray &bytes)
{
    QString text;
    QString encoding;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text = QString::fromUtf8(bytes.mid(3));
        encoding = QStringLiteral("utf-8");
    } else if (bytes.startsWith("\xFF\xFE")) {
        QStringDecoder d(QStringConverter::Utf16LE);
        text = d.decode(bytes.mid(2));
        encoding = QStringLiteral("utf-16");
    } else {
        // 8-bit until the declaration names another character set; the
        // declaration itself is plain ASCII either way.
        text = decode8Bit(bytes);
        encoding = kCodePageName;
        static const QRegularExpression decl(QStringLiteral("^<\\?xml\\s([^?]*)\\?>"));
        const auto m = decl.match(text);
        if (m.hasMatch()) {
            const QString named = attribute(parseAttributes(m.captured(1)), QStringLiteral("encoding"));
            if (!named.isEmpty() && named.compare(kCodePageName, Qt::CaseInsensitive) != 0) {
                QStringDecoder d(named.toLatin1().constData());
                if (d.isValid()) {
                    const QString decoded = d.decode(bytes);
                    if (!d.hasError())
                        text = decoded;
                }
            }
        }
    }

    auto root = std::make_unique<Node>();
    QList<QPair<QString, QString>> declaration;
    bool hadDeclaration = false;
    QStringList prolog;
    static const QRegularExpression declAtStart(QStringLiteral("^\\s*<\\?xml\\s([^?]*)\\?>"));
    if (const auto m = declAtStart.match(text); m.hasMatch()) {
        hadDeclaration = true;
        declaration = parseAttributes(m.captured(1));
    }

    QXmlStreamReader xml(protectControlRefs(text));
    std::vector<Node *> stack;
    bool rootSeen = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement: {
            Node *node;
            if (stack.empty()) {
                node = root.get();
                rootSeen = true;
            } else {
                auto child = std::make_unique<Node>();
                node = child.get();
                stack.back()->children.push_back(std::move(child));
            }
            node->name = xml.name().toString();
            stack.push_back(node);
            break;
        }
        case QXmlStreamReader::EndElement:
            if (!stack.empty()) {
                if (!stack.back()->children.empty())
                    stack.back()->value.clear(); // text between children is layout
                stack.pop_back();
            }
            break;
        case QXmlStreamReader::Characters:
            if (!stack.empty())
                stack.back()->value += decodeValue(xml.text().toString());
            break;
        case QXmlStreamReader::Comment:
            if (!rootSeen && plainAscii(xml.text()))
                prolog.append(QStringLiteral("<!--%1-->").arg(xml.text()));
            break;
        case QXmlStreamReader::ProcessingInstruction: {
            // Only instructions we can write back as they were read.
            static const QRegularExpression target(QStringLiteral("^[A-Za-z_][A-Za-z0-9_.:-]*$"));
            const QString t = xml.processingInstructionTarget().toString();
            if (!rootSeen && target.match(t).hasMatch() && t.compare(QLatin1String("xml"), Qt::CaseInsensitive) != 0 &&
                plainAscii(xml.processingInstructionData()))
                prolog.append(QStringLiteral("<?%1 %2?>")
                                  .arg(xml.processingInstructionTarget(), xml.processingInstructionData()));
            break;
        }
        case QXmlStreamReader::DTD:
            if (!rootSeen && plainAscii(xml.text()))
                prolog.append(xml.text().toString());
            break;
        default:
            break;
        }
    }
    if (xml.hasError())
        throw EStoreError(QStringLiteral("line %1, column %2: %3")
                              .arg(xml.lineNumber())
                              .arg(xml.columnNumber())
                              .arg(xml.errorString()));
    if (!rootSeen)
        throw EStoreError(QStringLiteral("the document has no root element"));

    root_ = std::move(root);
    declaration_ = declaration;
    hadDeclaration_ = hadDeclaration;
    prolog_ = prolog;
    readEncoding_ = encoding;
}

QByteArray XmlFileStorage::Serialize() const
{
    QList<QPair<QString, QString>> attrs = hadDeclaration_ ? declaration_ : QList<QPair<QString, QString>>();
    if (!hasAttribute(attrs, QStringLiteral("version")))
        attrs.prepend({QStringLiteral("version"), QStringLiteral("1.0")});
    if (!hasAttribute(attrs, QStringLiteral("encoding"))) {
        // XML wants encoding before standalone; after it, no reader (ours
        // included) would take the file back.
        qsizetype at = attrs.size();
        for (qsizetype i = 0; i < attrs.size(); ++i)
            if (attrs[i].first == QLatin1String("standalone"))
                at = i;
        attrs.insert(at, {QStringLiteral("encoding"), readEncoding_});
    }
    if (!hasAttribute(attrs, QStringLiteral("standalone")))
        attrs.append({QStringLiteral("standalone"), QStringLiteral("no")});
    // We only write encodings we can read back: a named one that is not a
    // superset of ASCII (EBCDIC, say) gives way to the one the file was read in.
    for (auto &a : attrs)
        if (a.first == QLatin1String("encoding") && !asciiCompatible(a.second))
            a.second = asciiCompatible(readEncoding_) ? readEncoding_ : kCodePageName;
    QString out = QStringLiteral("<?xml");
    for (auto &a : attrs) {
        if (a.first == QLatin1String("standalone"))
            a.second = a.second == QLatin1String("yes") ? QStringLiteral("yes") : QStringLiteral("no");
        out += QLatin1Char(' ') + a.first + QStringLiteral("=\"") + a.second + QLatin1Char('"');
    }
    out += QStringLiteral("?>\r\n");
    for (const QString &item : prolog_)
        out += item + QStringLiteral("\r\n");
    if (root_)
        writeNode(*root_, 0, out);

    const QString encoding = attribute(attrs, QStringLiteral("encoding")).toLower();
    if (encoding == QLatin1String("utf-8") || encoding == QLatin1String("utf8"))
        return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
    if (encoding.startsWith(QLatin1String("utf-16"))) {
        QStringEncoder e(QStringConverter::Utf16LE);
        return QByteArray("\xFF\xFE") + QByteArray(e.encode(out));
    }
    QStringEncoder e(attribute(attrs, QStringLiteral("encoding")).toLatin1().constData());
    if (e.isValid()) {
        const QByteArray b = e.encode(out);
        if (!e.hasError())
            return b;
    }
    return encode8Bit(out);
}

XmlFileStorage::Node *XmlFileStorage::resolve(const QString &path, bool create) const
{
    if (!root_)
        return nullptr;
    QStringList parts = SplitPath(path);
    for (QString &p : parts)
        p = LegalName(p);
    parts.prepend(rootName_);
    // The first part names the root only when it matches it exactly.
    Node *node = root_.get();
    qsizetype i = 0;
    if (!parts.isEmpty() && parts.first() == root_->name)
        i = 1;
    if (i >= parts.size())
        return nullptr;
    for (; i < parts.size(); ++i) {
        Node *next = node->child(parts[i]);
        if (!next) {
            if (!create)
                return nullptr;
            auto child = std::make_unique<Node>();
            child->name = parts[i];
            next = child.get();
            node->value.clear();
            node->children.push_back(std::move(child));
        }
        node = next;
    }
    return node;
}

int XmlFileStorage::ReadInteger(const QString &path, int defaultValue) const
{
    const Node *node = resolve(path, false);
    if (!node)
        return defaultValue;
    bool ok = false;
    const int v = node->value.toInt(&ok, 10);
    return ok ? v : -1;
}

QString XmlFileStorage::ReadString(const QString &path, const QString &defaultValue) const
{
    const Node *node = resolve(path, false);
    return node ? node->value : defaultValue;
}

void XmlFileStorage::writeValue(const QString &path, const QString &value)
{
    if (readOnly_)
        return;
    Node *node = resolve(path, true);
    if (!node)
        throw EStoreError(QStringLiteral("\"%1\" names no value.").arg(path));
    node->children.clear();
    node->value = value;
    changed();
}

void XmlFileStorage::changed()
{
    if (autoFlush_ && updating_ == 0)
        Flush();
}

void XmlFileStorage::EndUpdate()
{
    if (updating_ > 0 && --updating_ == 0 && autoFlush_)
        Flush();
}

bool XmlFileStorage::ValueExists(const QString &path) const
{
    return resolve(path, false) != nullptr;
}

bool XmlFileStorage::DeleteKey(const QString &path)
{
    if (readOnly_)
        return false;
    Node *node = resolve(path, false);
    if (!node || node == root_.get())
        return false;
    // The parent is the element one path part up.
    QStringList parts = SplitPath(path);
    parts.removeLast();
    Node *parent = parts.isEmpty() ? root_.get() : resolve(parts.join(QLatin1Char('\\')), false);
    if (!parent)
        return false;
    auto &kids = parent->children;
    for (auto it = kids.begin(); it != kids.end(); ++it)
        if (it->get() == node) {
            kids.erase(it);
            changed();
            return true;
        }
    return false;
}

void XmlFileStorage::WriteInteger(const QString &path, int value)
{
    writeValue(path, QString::number(value));
}

void XmlFileStorage::WriteString(const QString &path, const QString &value)
{
    writeValue(path, value);
}

bool XmlFileStorage::Flush()
{
    lastError_.clear();
    if (fileName_.isEmpty() || readOnly_ || !root_)
        return true;
    return SaveFileAtomically(fileName_, Serialize(), &lastError_);
}

void XmlFileStorage::Close()
{
    Flush();
    root_.reset();
    fileName_.clear();
}

} // namespace zembrik
