#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

namespace ls {
class IReader;
}

// What the installed embosser model can take: its entry of "embosserList.json" (embosser, feed
// and head type, model family mask, paper size limits in millimetres, paper direction and plug
// and play identity). A model the list does not know keeps no entry, and every getter then
// answers its failure value.
class ModelPaper : public QObject {
    Q_OBJECT

public:
    ModelPaper(const QString& model, const ls::IReader& reader, QObject* parent = nullptr);

    // Keeps the entry of `model`; false when the file cannot be read or has no such entry.
    bool load(const QString& model, const ls::IReader& reader);

    QString getModel() const { return m_model; }
    // The model's whole entry, as the file holds it (empty for an unknown model).
    QVariantMap getData() const { return m_data; }

    // Enumerator values of `lcm::EmbosserType`, `FeedType`, `HeadType` and `ModelMask`; 0 when
    // the entry has no convertible value.
    int getEmbosserType() const;
    int getFeedType() const;
    int getHeadType() const;
    int getModelMask() const;

    // Paper limits in millimetres; -1.0 when missing.
    double getMinWidth() const;
    double getMaxWidth() const;
    double getMinHeight() const;
    double getMaxHeight() const;

    int getPaperDirection() const; // -1 when missing
    QString getPnpCid() const;
    QString getShortID() const;

    // Every model but the single-sided one embosses both sides of the paper.
    bool isDoubleSided() const;

private:
    int enumField(const QString& key, const char* enumeration, const char* caller) const;
    double doubleField(const QString& key, const char* caller) const;

    QString m_model;
    QVariantMap m_data;
};
