#pragma once

#include "PaperEntity.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace ls {
class IReader;
}

// The standard papers of "paperList.json", keyed by paper name. toEntity() also resolves the
// names of user-defined papers ("User_defined_<n>") through their files.
class PaperList : public QObject {
    Q_OBJECT

public:
    explicit PaperList(const ls::IReader& reader, QObject* parent = nullptr);

    bool load(const ls::IReader& reader);

    bool contains(const QString& name) const;
    PaperEntity toEntity(const QString& name) const;

    // paper name -> paper record, as the file holds them
    QVariantMap getPaperList() const { return m_papers; }
    QStringList getPaperNames() const { return m_papers.keys(); }

private:
    QVariantMap m_papers;
};
