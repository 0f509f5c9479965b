// Workbook: package parts, workbook.xml and its relationships, saving.
#include "Workbook.h"

#include "SheetError.h"
#include "WorkbookInternal.h"

#include "vb/TextFile.h"

#include <QFileInfo>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace sheet {

namespace {

struct StringWriter : pugi::xml_writer {
    QByteArray out;
    void write(const void *data, size_t size) override { out.append(static_cast<const char *>(data), static_cast<qsizetype>(size)); }
};

// Resolves a relationship target against the folder of the part that owns it.
QString resolveTarget(const QString &ownerFolder, const QString &target)
{
    if (target.startsWith('/'))
        return target.mid(1);
    QStringList parts = ownerFolder.isEmpty() ? QStringList() : ownerFolder.split('/');
    for (const QString &p : target.split('/')) {
        if (p == "..") {
            if (!parts.isEmpty())
                parts.removeLast();
        } else if (p != "." && !p.isEmpty()) {
            parts << p;
        }
    }
    return parts.join('/');
}

QString folderOf(const QString &partName)
{
    const qsizetype slash = partName.lastIndexOf('/');
    return slash < 0 ? QString() : partName.left(slash);
}

QString relsOf(const QString &partName)
{
    const QString folder = folderOf(partName);
    const QString file = partName.mid(folder.isEmpty() ? 0 : folder.size() + 1);
    return (folder.isEmpty() ? QString() : folder + "/") + "_rels/" + file + ".rels";
}

}  // namespace

void parseXml(pugi::xml_document &doc, const QByteArray &bytes, const QString &partName)
{
    const pugi::xml_parse_result ok =
        doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                        pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata_single,
                        pugi::encoding_utf8);
    if (!ok)
        throw SheetError(1004, QStringLiteral("La cartella di lavoro è danneggiata (%1).").arg(partName), "Workbooks.Open",
                         QString::fromUtf8(ok.description()));
}

void parseTemplateXml(pugi::xml_document &doc, const QByteArray &bytes, const QString &partName)
{
    // Start tags: '<' and a name character ("</", "<?" and "<!" open none).
    qint64 elements = 0;
    const char *p = bytes.constData(), *end = p + bytes.size();
    while ((p = static_cast<const char *>(std::memchr(p, '<', size_t(end - p)))) && ++p < end)
        if (std::isalpha(static_cast<unsigned char>(*p)) || *p == '_' || *p == ':')
            ++elements;
    if (elements > MaxTemplateElements)
        throw SheetError(1004, QStringLiteral("La cartella di lavoro è danneggiata (%1).").arg(partName), "Workbooks.Open",
                         QStringLiteral("%1 elements, more than the %2 a template may hold").arg(elements).arg(MaxTemplateElements));
    parseXml(doc, bytes, partName);
}

QByteArray serializeXml(const pugi::xml_document &doc)
{
    StringWriter w;
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return w.out;
}

const Part *WorkbookData::part(const QString &name) const
{
    for (const Part &p : parts)
        if (p.name == name)
            return &p;
    return nullptr;
}

pugi::xml_document &WorkbookData::sheetDoc(SheetData &s)
{
    if (!s.loaded) {
        const Part *p = part(s.partName);
        if (!p)
            throw SheetError(1004, QStringLiteral("Manca il foglio %1 della cartella di lavoro.").arg(s.partName), "Sheets");
        parseTemplateXml(s.doc, p->data, s.partName);
        // Column ranges never overlap in a sound sheet, so together they cover at most every column
        // once; overlapping ones would be expanded column by column, each time.
        qint64 covered = 0;
        for (pugi::xml_node c : s.doc.child("worksheet").child("cols").children("col"))
            covered += std::max<qint64>(0, qint64(c.attribute("max").as_int()) - std::max(1, c.attribute("min").as_int()) + 1);
        if (covered > columnOf("XFD"))  // the last column
            throw SheetError(1004, QStringLiteral("La cartella di lavoro è danneggiata (%1).").arg(s.partName), "Workbooks.Open",
                             QStringLiteral("column ranges cover %1 columns").arg(covered));
        s.loaded = true;
    }
    return s.doc;
}

void WorkbookData::restoreRows(SheetData &s)
{
    if (!s.streamed)
        return;
    QByteArray xml = "<sheetData>";
    for (const QByteArray &piece : s.rows)
        xml += piece;
    xml += "</sheetData>";
    pugi::xml_document rows;
    parseXml(rows, xml, s.partName);
    pugi::xml_node data = s.doc.child("worksheet").child("sheetData");
    while (data.first_child())
        data.remove_child(data.first_child());
    for (pugi::xml_node r : rows.child("sheetData").children())
        data.append_copy(r);
    s.streamed = false;
    s.rows.clear();
    s.longest.clear();
}

Workbook::Workbook() : d(std::make_unique<WorkbookData>()) {}
Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::open(const QString &path)
{
    QString file = path;
    if (!QFileInfo::exists(file)) {
        const QFileInfo info(path);
        const QString found = vb::findFileNoCase(info.path() + "/", info.fileName());
        if (!found.isEmpty())
            file = found;
    }
    std::unique_ptr<Workbook> book(new Workbook);
    WorkbookData &d = *book->d;
    d.parts = readPackage(file);

    // The workbook part, from the package relationships.
    d.workbookPart = "xl/workbook.xml";
    if (const Part *rels = d.part("_rels/.rels")) {
        pugi::xml_document doc;
        parseTemplateXml(doc, rels->data, rels->name);
        for (pugi::xml_node r : doc.child("Relationships").children("Relationship"))
            if (std::string(r.attribute("Type").value()).ends_with("/officeDocument"))
                d.workbookPart = resolveTarget(QString(), QString::fromUtf8(r.attribute("Target").value()));
    }
    const Part *wb = d.part(d.workbookPart);
    if (!wb)
        throw SheetError(1004, QStringLiteral("Il file %1 non è una cartella di lavoro.").arg(path), "Workbooks.Open");
    parseTemplateXml(d.workbook, wb->data, d.workbookPart);

    pugi::xml_document rels;
    if (const Part *r = d.part(relsOf(d.workbookPart)))
        parseTemplateXml(rels, r->data, r->name);
    const QString folder = folderOf(d.workbookPart);
    for (pugi::xml_node r : rels.child("Relationships").children("Relationship")) {
        if (std::string(r.attribute("Type").value()).ends_with("/sharedStrings")) {
            if (const Part *sst = d.part(resolveTarget(folder, QString::fromUtf8(r.attribute("Target").value())))) {
                pugi::xml_document doc;
                parseTemplateXml(doc, sst->data, sst->name);
                for (pugi::xml_node si : doc.child("sst").children("si")) {
                    QString text;
                    for (pugi::xpath_node t : si.select_nodes(".//t"))
                        text += QString::fromUtf8(t.node().text().get());
                    d.sharedStrings << unescapeText(text);
                }
            }
        }
    }
    for (pugi::xml_node s : d.workbook.child("workbook").child("sheets").children("sheet")) {
        const char *rid = s.attribute("r:id").value();
        auto data = std::make_shared<SheetData>();
        data->name = QString::fromUtf8(s.attribute("name").value());
        for (pugi::xml_node r : rels.child("Relationships").children("Relationship"))
            if (std::string(r.attribute("Id").value()) == rid)
                data->partName = resolveTarget(folder, QString::fromUtf8(r.attribute("Target").value()));
        d.sheetData.push_back(data);
        d.sheets.push_back(std::make_unique<Worksheet>(*book, static_cast<int>(d.sheets.size()) + 1, data));
    }
    d.open = true;
    return book;
}

int Workbook::sheetCount() const
{
    return d->open ? static_cast<int>(d->sheets.size()) : 0;
}

Worksheet &Workbook::sheet(int index)
{
    if (!d->open || index < 1 || index > static_cast<int>(d->sheets.size()))
        throw vb::Error::of(vb::err::SubscriptOutOfRange, "Sheets");
    return *d->sheets[static_cast<size_t>(index - 1)];
}

void Workbook::selectSheet(int index)
{
    pugi::xml_node root = d->workbook.child("workbook");
    pugi::xml_node views = root.child("bookViews");
    if (!views) {
        pugi::xml_node sheets = root.child("sheets");
        views = sheets ? root.insert_child_before("bookViews", sheets) : root.append_child("bookViews");
    }
    pugi::xml_node view = views.child("workbookView");
    if (!view)
        view = views.append_child("workbookView");
    pugi::xml_attribute active = view.attribute("activeTab");
    if (!active)
        active = view.append_attribute("activeTab");
    active.set_value(index - 1);
    if (pugi::xml_attribute first = view.attribute("firstSheet"); first && first.as_int() > index - 1)
        first.set_value(index - 1);
    d->workbookDirty = true;

    for (size_t i = 0; i < d->sheetData.size(); ++i) {
        SheetData &s = *d->sheetData[i];
        pugi::xml_node ws = d->sheetDoc(s).child("worksheet");
        const bool selected = static_cast<int>(i) == index - 1;
        pugi::xml_node svs = ws.child("sheetViews");
        if (!selected) {
            for (pugi::xml_node sv : svs.children("sheetView"))
                if (sv.attribute("tabSelected")) {
                    sv.remove_attribute("tabSelected");
                    s.dirty = true;
                }
            continue;
        }
        if (!svs) {
            pugi::xml_node after = ws.child("dimension") ? ws.child("dimension") : ws.child("sheetPr");
            svs = after ? ws.insert_child_after("sheetViews", after) : ws.prepend_child("sheetViews");
        }
        pugi::xml_node sv = svs.child("sheetView");
        if (!sv) {
            sv = svs.append_child("sheetView");
            sv.append_attribute("workbookViewId") = 0;
        }
        pugi::xml_attribute tab = sv.attribute("tabSelected");
        if (!tab)
            tab = sv.prepend_attribute("tabSelected");
        tab.set_value(1);
        s.dirty = true;
    }
}

void Workbook::saveAs(const QString &path)
{
    if (!d->open)
        throw SheetError(1004, QStringLiteral("La cartella di lavoro è chiusa."), "SaveAs");
    std::vector<PartPieces> out;
    out.reserve(static_cast<size_t>(d->parts.size()));
    for (const Part &p : d->parts) {
        PartPieces &o = out.emplace_back(PartPieces{p.name, {p.data}});
        if (p.name == d->workbookPart && d->workbookDirty)
            o.pieces = {serializeXml(d->workbook)};
        for (const auto &s : d->sheetData) {
            if (!s->dirty || s->partName != p.name)
                continue;
            const QByteArray xml = serializeXml(s->doc);
            const qsizetype at = s->streamed ? xml.indexOf(RowsMarker) : -1;
            if (at < 0) {
                o.pieces = {xml};
                continue;
            }
            // The rows go between the text before and after the marker, without one string of it all.
            o.pieces = {xml.left(at)};
            o.pieces.insert(o.pieces.end(), s->rows.begin(), s->rows.end());
            o.pieces.push_back(xml.mid(at + qsizetype(sizeof RowsMarker) - 1));
        }
    }
    writePackage(path, out);
}

void Workbook::close()
{
    d->open = false;
    d->sheets.clear();
    d->sheetData.clear();
    d->parts.clear();
}

bool Workbook::isOpen() const
{
    return d->open;
}

}  // namespace sheet
