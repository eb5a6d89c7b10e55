#pragma once

#include "lcm/EnumDetail.h"

#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace ls {
class IReader;
}

// The papers allowed in each world region ("paperRegions.json": region key name -> list of paper
// names). The first paper of a region's list is its default paper.
class PaperRegion : public QObject {
    Q_OBJECT

public:
    explicit PaperRegion(const ls::IReader& reader, QObject* parent = nullptr);

    bool load(const ls::IReader& reader);

    bool isValid(lcm::Region region, const QString& paper) const;
    QString getPaper(lcm::Region region) const;

    // region key name -> paper names, as the file holds them
    QVariantMap getRegions() const { return m_regions; }

private:
    QVariantMap m_regions;
};
