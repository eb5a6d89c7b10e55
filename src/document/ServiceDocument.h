#pragma once

#include "Document.h"

class LayoutSettings;
class ModelPaper;
class PropValueList;

// The service documents ("serviceDocuments.json"), test and adjustment prints. Each entry says
// by its "validateCommand" when it fits: "AlwaysValid" on every machine, "ModelHasFoldingLine"
// on a machine that folds (feed type 3 or 4) while the active layout's duplexing folds (value 4
// or 8), any other command when "validModels" names the installed embosser type.
class ServiceDocument : public Document {
    Q_OBJECT

public:
    ServiceDocument(const ModelPaper& modelPaper, const LayoutSettings& layouts, const PropValueList& valueLists,
        QObject* parent = nullptr);

    const QVariantMap get() const override;
    bool load(const ls::IReader& reader) override;

private:
    bool activeLayoutFolds() const;

    const ModelPaper& m_modelPaper;
    const LayoutSettings& m_layouts;
    const PropValueList& m_valueLists;
};
