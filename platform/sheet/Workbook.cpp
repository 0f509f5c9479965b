// Workbook: package parts, workbook.xml and its relationships, saving.
#include "Workbook.h"

#include "WorkbookInternal.h"

#include "vb/Error.h"
#include "vb/TextFile.h"

#include <QFileInfo>

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
        throw vb::Error(1004, "Damaged workbook part: " + partName, "Workbooks.Open");
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
            throw vb::Error(1004, "Missing sheet part: " + s.partName, "Sheets");
        parseXml(s.doc, p->data, s.partName);
        s.loaded = true;
    }
    return s.doc;
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
        parseXml(doc, rels->data, rels->name);
        for (pugi::xml_node r : doc.child("Relationships").children("Relationship"))
            if (std::string(r.attribute("Type").value()).ends_with("/officeDocument"))
                d.workbookPart = resolveTarget(QString(), QString::fromUtf8(r.attribute("Target").value()));
    }
    const Part *wb = d.part(d.workbookPart);
    if (!wb)
        throw vb::Error(1004, "Not a workbook: " + path, "Workbooks.Open");
    parseXml(d.workbook, wb->data, d.workbookPart);

    pugi::xml_document rels;
    if (const Part *r = d.part(relsOf(d.workbookPart)))
        parseXml(rels, r->data, r->name);
    const QString folder = folderOf(d.workbookPart);
    for (pugi::xml_node r : rels.child("Relationships").children("Relationship")) {
        if (std::string(r.attribute("Type").value()).ends_with("/sharedStrings")) {
            if (const Part *sst = d.part(resolveTarget(folder, QString::fromUtf8(r.attribute("Target").value())))) {
                pugi::xml_document doc;
                parseXml(doc, sst->data, sst->name);
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
        throw vb::Error(1004, "The workbook is closed", "SaveAs");
    QVector<Part> out = d->parts;
    for (Part &p : out) {
        if (p.name == d->workbookPart && d->workbookDirty)
            p.data = serializeXml(d->workbook);
        for (const auto &s : d->sheetData)
            if (s->dirty && s->partName == p.name)
                p.data = serializeXml(s->doc);
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
