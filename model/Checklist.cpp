#include "model/Checklist.h"

namespace checklist {

Marker markerOf(QStringView line)
{
    qsizetype at = 0;
    while (at < line.size() && (line[at] == u' ' || line[at] == u'\t')) {
        ++at;
    }
    const QStringView rest = line.mid(at);
    Marker m;
    m.sign = at;
    if (rest.startsWith(u"- [ ] ")) {
        m.kind = Marker::Kind::Open;
    } else if (rest.startsWith(u"- [x] ") || rest.startsWith(u"- [X] ")) {
        m.kind = Marker::Kind::Done;
    } else if (rest.startsWith(u"- ") || rest.startsWith(u"* ")) {
        m.kind = Marker::Kind::Bullet;
        m.length = at + 2;
        return m;
    } else {
        return m;
    }
    m.sign = at + 2;
    m.length = at + 6;
    return m;
}

QString shown(QStringView line)
{
    const Marker m = markerOf(line);
    switch (m.kind) {
    case Marker::Kind::Open:
        return QStringLiteral("\u2610 ") + line.mid(m.length).toString();
    case Marker::Kind::Done:
        return QStringLiteral("\u2611 ") + line.mid(m.length).toString();
    case Marker::Kind::Bullet:
        return QStringLiteral("\u2022 ") + line.mid(m.length).toString();
    case Marker::Kind::None:
        break;
    }
    return line.toString();
}

QString plain(QStringView line)
{
    return line.mid(markerOf(line).length).toString();
}

std::optional<Progress> progress(QStringView text)
{
    Progress p;
    for (const QStringView line : text.tokenize(u'\n')) {
        const Marker m = markerOf(line);
        if (m.item()) {
            ++p.items;
            p.done += m.kind == Marker::Kind::Done ? 1 : 0;
        }
    }
    return p.items > 0 ? std::optional(p) : std::nullopt;
}

} // namespace checklist
