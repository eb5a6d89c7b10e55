#pragma once

#include "Document.h"

class ModelPaper;

// The manuals ("manuals.json"), keyed by manufacturer (blanks written as "_"), controller board
// model and embosser model: the list of the installed model, with the folder the files lie in.
// The catalogue has no factory copy; an unreadable one answers nothing.
class ManualDocument : public Document {
    Q_OBJECT

public:
    // The board model of every embosser the catalogue describes.
    static constexpr const char* boardModel = "1366";

    ManualDocument(const ModelPaper& modelPaper, const QString& model, QObject* parent = nullptr);

    const QVariantMap get() const override;
    bool load(const ls::IReader& reader) override;

private:
    const ModelPaper& m_modelPaper;
    const QString m_model;
};
