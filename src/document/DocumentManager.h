#pragma once

#include <QObject>
#include <QVariantMap>

class DemoDocument;
class LayoutSettings;
class ManualDocument;
class ModelPaper;
class PropValueList;
class ServiceDocument;

namespace ls {
class IReader;
}

// The three document catalogues the front ends offer, loaded once at start and answered for the
// machine as it is configured at the time of each request.
class DocumentManager : public QObject {
    Q_OBJECT

public:
    // `model` is the installed embosser model, the key of its manuals.
    DocumentManager(const ModelPaper& modelPaper, const QString& model, const LayoutSettings& layouts,
        const PropValueList& valueLists, QObject* parent = nullptr);

    void load(const ls::IReader& reader);

    QVariantMap getDemoDocuments() const;
    QVariantMap getManualDocuments() const;
    QVariantMap getServiceDocuments() const;

private:
    DemoDocument* m_demo;
    ManualDocument* m_manuals;
    ServiceDocument* m_service;
};
