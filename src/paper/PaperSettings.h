#pragma once

#include "PaperEntity.h"
#include "lcm/EnumDetail.h"

#include <QList>
#include <QObject>
#include <QVariantMap>

class ModelPaper;
class PaperList;
class PaperRegion;

// The user-defined papers and every question about a paper by name. User papers are numbered
// 1..99 (a new one takes the first free number), and a size is checked against the installed
// model's limits before anything is written. Any paper name, standard or user-defined, resolves
// to a PaperEntity, and isPaperValid() decides whether a paper may be used in a region on this
// model.
class PaperSettings : public QObject {
    Q_OBJECT

public:
    PaperSettings(const ModelPaper& modelPaper, const PaperList& paperList, const PaperRegion& paperRegion,
        QObject* parent = nullptr);

    const ModelPaper& modelPaper() const { return m_modelPaper; }
    const PaperList& paperList() const { return m_paperList; }
    const PaperRegion& paperRegion() const { return m_paperRegion; }

    QVariantMap readUserPaper(int n) const;
    // paper number in decimal -> readUserPaper(n), for every listed number whose paper reads
    QVariantMap readAllUserPapers() const;
    // Always creates a new paper; `n` receives its number.
    bool writeUserPaper(const QVariantMap& data, int& n) const;
    bool deleteUserPaper(int n) const;
    // What a client needs to offer a new user paper: its name and number, the unit, the limits.
    QVariantMap getUserPaperValues() const;

    PaperEntity getPaperEntity(const QString& name) const;
    bool isPaperValid(lcm::Region region, const QString& name) const;

    // The numbers of the "userpaper.<n>..." entries of the state directory, listed as layouts are
    // (see NumberedFiles): in directory order, a suffix ignored, repeats and strays kept.
    QList<int> getUserPaperNumbers() const;
    int getUserPaperCount() const;
    // The first number in 1..99 that getUserPaperNumbers() lacks, -1 when all are taken.
    int findFreeUserPaperNumber() const;

private:
    const ModelPaper& m_modelPaper;
    const PaperList& m_paperList;
    const PaperRegion& m_paperRegion;
};
