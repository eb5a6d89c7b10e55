#pragma once

#include "Document.h"

class LayoutSettings;

// The demo documents ("demoDocuments.json"): the entries whose "validSizes" list the paper size
// of the active layout. An entry without sizes fits no paper and is never offered.
class DemoDocument : public Document {
    Q_OBJECT

public:
    explicit DemoDocument(const LayoutSettings& layouts, QObject* parent = nullptr);

    const QVariantMap get() const override;
    bool load(const ls::IReader& reader) override;

private:
    const LayoutSettings& m_layouts;
};
