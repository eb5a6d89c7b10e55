#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

// One paper in memory, a standard paper of the paper list or a user-defined one: its geometry in
// millimetres and inch code, the feed step, orientations, and the model families and feed type
// it needs. Built from a paper record ("paperList.json" form); any field that does not convert
// leaves the entity invalid. A plain value, copied freely.
class PaperEntity {
public:
    explicit PaperEntity(const QString& name = QString());

    // Reads a paper record; false (and the entity invalid) when a field does not convert.
    bool load(const QVariantMap& record);

    bool isValid() const { return m_valid; }
    bool isUserPaper() const { return m_userPaper; }
    void setUserPaper(bool userPaper) { m_userPaper = userPaper; }
    QString getName() const { return m_name; }

    double getWidth() const { return m_width; }
    double getHeight() const { return m_height; }
    int getInchesWidth() const { return m_inchesWidth; }
    int getInchesHeight() const { return m_inchesHeight; }
    // `SizeUnit` value, -1 when the record names none; the text is its key name ("Milimeters").
    int getSizeUnit() const { return m_sizeUnit; }
    QString getSizeUnitText() const;
    int getStepLength() const { return m_stepLength; }
    int getStepLengthFraction() const { return m_stepLengthFraction; }
    double getPrintingHeadOffset() const { return m_printingHeadOffset; }
    int getFormatOrientation() const { return m_formatOrientation; }
    int getLoadOrientation() const { return m_loadOrientation; }
    // 0 for an invalid entity.
    int getFeedType() const { return m_valid ? m_feedType : 0; }
    // -1 for an invalid entity.
    int getModelMask() const { return m_valid ? m_modelMask : -1; }

    // A field of a data file that names an enumerator of `lcm::EnumDetail`: its key name, or its
    // number when the number is an enumerator's value.
    static bool toEnumValue(const char* enumeration, const QVariant& value, int& out);
    // The key name of an enumerator, empty when `value` is none.
    static QString enumKey(const char* enumeration, int value);

private:
    QString m_name;
    bool m_userPaper = false;
    bool m_valid = false;
    double m_width = -1.0;
    double m_height = -1.0;
    int m_inchesWidth = -1;
    int m_inchesHeight = -1;
    int m_sizeUnit = -1;
    int m_stepLength = -1;
    int m_stepLengthFraction = -1;
    double m_printingHeadOffset = -1.0;
    int m_formatOrientation = -1;
    int m_loadOrientation = -1;
    int m_modelMask = -1;
    int m_feedType = 0;
};
