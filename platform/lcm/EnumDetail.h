#pragma once

#include <QMetaEnum>
#include <QObject>

namespace lcm {

// The protocol enumerations shared by the services of the embosser. Data files, value lists and
// requests carry the key names; the meta-object converts them to and from the numbers, so every
// enumeration here is a Q_ENUM of this one gadget (`lcm::EnumDetail::staticMetaObject`).
//
// A value list whose entries follow an enumeration lists them in the enumeration's declaration
// order: the entry at position p of the list stands for the enumerator at index p (see
// `valueAt`), and its "intValue" is that enumerator's value.
class EnumDetail {
    Q_GADGET

public:
    // How the values of a layout parameter are validated ("eValueType" of "parameterList.json").
    enum class ValueType {
        Undefined = 0,
        Ignore = 1,
        Numeric = 2,
        String = 3,
        TableRow = 4,
        Listing = 5,
    };
    Q_ENUM(ValueType)

    // Paper regions: the keys of "paperRegions.json" and the descriptions of the region list.
    enum class Region {
        Undefined = 0,
        Europe = 1,
        Us = 2,
        Russia = 3,
        Japan = 4,
        World = 5,
        SouthEastAsia = 6,
        SouthernAfrica = 7,
    };
    Q_ENUM(Region)

    enum class SizeUnit {
        Inches = 0,
        Milimeters = 1,
    };
    Q_ENUM(SizeUnit)

    // The "index" of a record of "brailleDimension.json": 1 is the text cell (line spacing can
    // be adjusted), 2 the graphics raster; further cell sizes are listed by `BrailleDimension`.
    enum class BrailleDimensionType {
        Text = 1,
        Graphics = 2,
    };
    Q_ENUM(BrailleDimensionType)

    // Every record of "brailleDimension.json", in the order of the braille cell size value list;
    // `Graphics` comes last because that list does not offer it.
    enum class BrailleDimension {
        Text = 1,
        MarburgLarge = 3,
        UsStandard = 4,
        CaliforniaSign = 5,
        Jumbo = 6,
        EnhancedLineSpacing = 7,
        Japanese = 8,
        Interline = 9,
        Graphics = 2,
    };
    Q_ENUM(BrailleDimension)

    // Blank space between two braille lines: single and double line spacing.
    enum class LineSpacing {
        _5mm = 1,
        _10mm = 2,
    };
    Q_ENUM(LineSpacing)

    enum class TopMargin {
        None = 0,
        _1Line = 1,
        _2Line = 2,
        _3Line = 3,
    };
    Q_ENUM(TopMargin)

    enum class BindingMargin {
        None = 0,
        _1Character = 1,
        _2Character = 2,
        _3Character = 3,
        _4Character = 4,
        _5Character = 5,
        _6Character = 6,
        _7Character = 7,
        _8Character = 8,
        _9Character = 9,
        _10Character = 10,
    };
    Q_ENUM(BindingMargin)

    enum class PageNumber {
        None = 0,
        TopCenter = 1,
        TopLeft = 2,
        TopRight = 3,
        BottomCenter = 4,
        BottomLeft = 5,
        BottomRight = 6,
    };
    Q_ENUM(PageNumber)

    enum class FoldingLine {
        None = 0,
        Light = 1,
        Medium = 2,
        Strong = 3,
    };
    Q_ENUM(FoldingLine)

    // Header fields of a legacy braille table (".ebc").
    enum class LegacyTable {
        Header = 0,
        Version = 1,
        Type = 2,
        Speech = 3,
        Creator = 4,
        Description = 5,
        Date = 6,
        PageNoText = 7,
        TypeValue = 8,
        Free1 = 9,
        Free2 = 10,
    };
    Q_ENUM(LegacyTable)

    // Escape parameter ordering rules: when a rule applies, and where the other identifier goes.
    enum class Applicable {
        Always = 0,
        IfLowerThan = 1,
        IfHigherThan = 2,
        IfEqualTo = 3,
    };
    Q_ENUM(Applicable)

    enum class RelativeRank {
        Lower = 0,
        Higher = 1,
        LowerMustExist = 2,
        HigherMustExist = 3,
        NotAllowed = 4,
    };
    Q_ENUM(RelativeRank)

    // The value lists of "valueList.json" (list name = key name). `None` marks a parameter
    // without a list; from 2 on every value is a real list.
    enum class RowValueList {
        Undefined = 0,
        None = 1,
        OnOff = 2,
        YesNo = 3,
        TrueFalse = 4,
        PrintSpeed = 5,
        ImpactEnergy = 6,
        MultipleImpact = 7,
        VolumePageNumber = 8,
        BetweenCopies = 9,
        SpeechVolume = 10,
        SpeechVoice = 11,
        DateFormat = 12,
        Baudrate = 13,
        Duplexing = 14,
        BrailleLineSpacing = 15,
        Databit = 16,
        Parity = 17,
        PageNumber = 18,
        Stopbit = 19,
        Handshake = 20,
        TopMargin = 21,
        BindingMargin = 22,
        MaxPagesInVolume = 23,
        SizeUnit = 25,
        Orientation = 26,
        FoldingLine = 29,
        BrailleCellSize = 38,
        GraphicCellSize = 39,
        PaperSize = 41,
        Region = 48,
        BrailleCellDots = 50,
        BrailleLanguage = 52,
        LiblouisTable = 53,
    };
    Q_ENUM(RowValueList)

    // Embosser models by family ("eEmbosserType" of "embosserList.json"). Type 11 is the only
    // single-sided model; 5 and 6 take no user papers; 1, 2, 7 and 13 measure them in inches.
    enum class EmbosserType {
        Undefined = 0,
        TormelV4 = 1,
        TormelV5 = 2,
        AlveroV4 = 3,
        AlveroV5 = 4,
        Orvik = 5,
        VarnexV5 = 6,
        PlistoD = 7,
        Zentra = 8,
        Keltrix = 9,
        Mirela = 10,
        Darvo = 11,
        ZentraV5 = 12,
        PlistoPlus = 13,
        Ulk = 14,
    };
    Q_ENUM(EmbosserType)

    // How paper reaches the head. A paper of feed type `Any` fits every model.
    enum class FeedType {
        Undefined = 0,
        Any = 1,
        Tractor = 2,
        SheetFeeder = 3,
        ManualSheet = 4,
    };
    Q_ENUM(FeedType)

    // What the head can emboss: one side only, both sides, or several heads across the page.
    // `Any` appears only in value-list requirements.
    enum class HeadType {
        Undefined = 0,
        Any = 1,
        OneSided = 2,
        TwoSided = 3,
        MultiHead = 4,
    };
    Q_ENUM(HeadType)

    // Model families as bits; a paper names the union of the families that take it, and it fits
    // a model when the two masks share a bit.
    enum class ModelMask {
        None = 0x00,
        Tormel = 0x01,
        Alvero = 0x02,
        Varnex = 0x04,
        Plisto = 0x08,
        Zentra = 0x10,
        Nox = 0x20,
        Orvik = 0x40,
        Ulk = 0x80,
        LargeSheetModels = 0x02 | 0x04,
        TractorModels = 0x01 | 0x08 | 0x20,
        SheetModels = 0x02 | 0x04 | 0x10 | 0x40 | 0x80,
        All = 0xff,
    };
    Q_ENUM(ModelMask)

    // Dots of a braille cell.
    enum class BrailleType {
        SixDot = 6,
        EightDot = 8,
    };
    Q_ENUM(BrailleType)

    // Validation commands of value-list entries ("eValidateCommand"), values 1 to 19.
    enum class ValidateCommand {
        Undefined = 0,
        AlwaysValid = 1,
        NeverValid = 2,
        PaperValidForRegion = 3,
        PaperValidForAnyRegion = 4,
        MaxTopMarginIsZero = 5,
        TopMarginFits = 6,
        MaxBindingMarginIsZero = 7,
        BindingMarginFits = 8,
        BindingMarginOptional = 9,
        NoMarginLines = 10,
        BottomPageNumberFits = 11,
        TopMarginIsSet = 12,
        BottomMarginIsSet = 13,
        ModelIsFeedCompatible = 14,
        ModelIsHeadCompatible = 15,
        ModelIsDoubleSided = 16,
        DuplexingIsFolding = 17,
        NoPageNumberNoVolume = 18,
        PageNumberOrVolume = 19,
    };
    Q_ENUM(ValidateCommand)

    // Duplexing modes, in the order of the duplexing value list. 4 and 8 are booklets (two
    // pages side by side, folded in the middle); 6, 7, 9 and 10 z-folded sheets; 11 a sheet of
    // eight small panels; the single-sided modes are 1, 5, 7, 8, 10 and 12.
    enum class Duplex {
        SingleSided = 1,
        DoubleSided = 2,
        DoubleSidedTumble = 3,
        DoubleSidedBooklet = 4,
        ManualDoubleSided = 5,
        DoubleSidedZFolding = 6,
        SingleSidedZFolding = 7,
        SingleSidedBooklet = 8,
        DoubleSidedSidewaysZFolding = 9,
        SingleSidedSidewaysZFolding = 10,
        DoubleSidedMiniZFolding = 11,
        SingleSidedContinuous = 12,
    };
    Q_ENUM(Duplex)

    // Page format and paper load orientation; `Landscape` is the set flag.
    enum class Orientation {
        Portrait = 0,
        Landscape = 1,
    };
    Q_ENUM(Orientation)

    // The meta-enumeration of that name ("RowValueList", "Duplex", ...); invalid when unknown.
    static QMetaEnum metaEnum(const char* enumeration);

    // The value of the enumerator at `position` of the named enumeration, -1 when there is none:
    // turns the position of a value-list entry into its enumerator.
    static int valueAt(const char* enumeration, int position);
};

using ValueType = EnumDetail::ValueType;
using Region = EnumDetail::Region;
using SizeUnit = EnumDetail::SizeUnit;
using BrailleDimensionType = EnumDetail::BrailleDimensionType;
using BrailleDimension = EnumDetail::BrailleDimension;
using LineSpacing = EnumDetail::LineSpacing;
using TopMargin = EnumDetail::TopMargin;
using BindingMargin = EnumDetail::BindingMargin;
using PageNumber = EnumDetail::PageNumber;
using FoldingLine = EnumDetail::FoldingLine;
using LegacyTable = EnumDetail::LegacyTable;
using Applicable = EnumDetail::Applicable;
using RelativeRank = EnumDetail::RelativeRank;
using RowValueList = EnumDetail::RowValueList;
using EmbosserType = EnumDetail::EmbosserType;
using FeedType = EnumDetail::FeedType;
using HeadType = EnumDetail::HeadType;
using ModelMask = EnumDetail::ModelMask;
using BrailleType = EnumDetail::BrailleType;
using ValidateCommand = EnumDetail::ValidateCommand;
using Duplex = EnumDetail::Duplex;
using Orientation = EnumDetail::Orientation;

} // namespace lcm
