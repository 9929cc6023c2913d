#include "clock/presets.h"

#include "brand/brand_font.h"

// Colours are written at full precision; most are whole steps of 1/255.
static const char builtInPresetsJson[] = R"JSON([
{"id":"F9A68FA3-E5EA-4C19-AD07-7DF1E9A69BF2","name":"Eclipse","style":{
 "timeFont":{"family":"@DISPLAY@","design":"standard","weight":"bold","size":120},
 "labelFont":{"family":"@MONO@","design":"monospaced","weight":"medium","size":16},
 "arrangement":"oneLine","dateFormat":"dayMonthYear","showWeekday":true,"showDate":true,
 "uppercaseLabels":true,"labelTracking":2.5,"useGradient":true,
 "timeColor":{"r":0.96078431372549022,"g":0.8901960784313725,"b":0.85098039215686272,"a":1},
 "timeColorBottom":{"r":0.78823529411764703,"g":0.72156862745098038,"b":1,"a":1},
 "labelColor":{"r":0.9137254901960784,"g":0.90196078431372551,"b":0.88235294117647056,"a":0.7},
 "timeOpacity":1,"shadowOpacity":0.4,"shadowRadius":18,"position":"center",
 "horizontalMargin":72,"verticalMargin":56,"lineSpacing":-8,"textLineSpacing":2,
 "datePlacement":"around","digitsFollowWallpaper":false,"finish":"filled","leadingZero":true,
 "localeID":"en_GB","outlineWidth":3,"ownLine":"","ownLinePlacement":"below","separator":"colon",
 "showSeconds":false,"use24Hour":true}},
{"id":"0BFCEF47-FBDA-4036-8B18-53E6A47C4D61","name":"Graphite","style":{
 "timeFont":{"family":"@DISPLAY@","design":"standard","weight":"light","size":150,"width":75},
 "labelFont":{"family":"@MONO@","design":"monospaced","weight":"medium","size":16},
 "arrangement":"oneLine","dateFormat":"dayMonthYear","showWeekday":true,"showDate":true,
 "uppercaseLabels":true,"labelTracking":2.5,"useGradient":false,
 "timeColor":{"r":0.9137254901960784,"g":0.90196078431372551,"b":0.88235294117647056,"a":1},
 "timeColorBottom":{"r":0.8,"g":0.76,"b":1,"a":1},
 "labelColor":{"r":0.94117647058823528,"g":0.62745098039215685,"b":0.54117647058823526,"a":0.9},
 "timeOpacity":0.92,"shadowOpacity":0,"shadowRadius":14,"position":"topCenter",
 "horizontalMargin":72,"verticalMargin":90,"lineSpacing":-10,"textLineSpacing":2,
 "datePlacement":"around","digitsFollowWallpaper":false,"finish":"filled","leadingZero":true,
 "localeID":"en_GB","outlineWidth":3,"ownLine":"","ownLinePlacement":"below","separator":"colon",
 "showSeconds":false,"use24Hour":true}},
{"id":"F3DEC8AF-34CE-44B4-B35F-3B8D03ECB194","name":"Infinity","style":{
 "timeFont":{"family":"","design":"monospaced","weight":"light","size":96},
 "labelFont":{"family":"","design":"monospaced","weight":"regular","size":16},
 "arrangement":"oneLine","dateFormat":"dayMonth","showWeekday":true,"showDate":true,
 "uppercaseLabels":true,"labelTracking":4,"useGradient":true,
 "timeColor":{"r":0.90588235294117647,"g":0.43529411764705883,"b":0.35294117647058826,"a":1},
 "timeColorBottom":{"r":0.30588235294117649,"g":0.20392156862745098,"b":0.3411764705882353,"a":1},
 "labelColor":{"r":0.30588235294117649,"g":0.20392156862745098,"b":0.3411764705882353,"a":1},
 "timeOpacity":1,"shadowOpacity":0,"shadowRadius":12,"position":"topCenter",
 "horizontalMargin":72,"verticalMargin":56,"lineSpacing":-4,"textLineSpacing":2,
 "datePlacement":"around","digitsFollowWallpaper":false,"finish":"filled","leadingZero":true,
 "localeID":"en_GB","outlineWidth":3,"ownLine":"","ownLinePlacement":"below","separator":"colon",
 "showSeconds":false,"use24Hour":true}},
{"id":"DE0474F9-C4DA-4A6D-848A-6B14F04E283B","name":"Frog Pond","style":{
 "timeFont":{"family":"@DISPLAY@","design":"rounded","weight":"heavy","size":112},
 "labelFont":{"family":"@DISPLAY@","design":"rounded","weight":"semibold","size":26},
 "arrangement":"stacked","dateFormat":"dayMonthYear","showWeekday":false,"showDate":false,
 "uppercaseLabels":false,"labelTracking":3,"labelAlign":"leading",
 "ownLineLook":{"font":{"family":"@DISPLAY@","design":"rounded","weight":"semibold","size":26},
  "tracking":3,"color":{"r":0.2169,"g":0.4495,"b":0.4466,"a":1},"uppercase":false},
 "useGradient":true,
 "timeColor":{"r":0.87,"g":0.93,"b":0.78,"a":1},
 "timeColorBottom":{"r":0.56,"g":0.72,"b":0.45,"a":1},
 "labelColor":{"r":0.5022,"g":0.587,"b":0.4162,"a":1},
 "timeOpacity":0.8,"shadowOpacity":0.3,"shadowRadius":14,"position":"topLeft",
 "horizontalMargin":80,"verticalMargin":64,"lineSpacing":-4,"textLineSpacing":19,
 "datePlacement":"around","digitsFollowWallpaper":false,"finish":"filled","leadingZero":true,
 "localeID":"en_GB","outlineWidth":3,"ownLine":"","ownLinePlacement":"below","separator":"colon",
 "showSeconds":false,"use24Hour":true}}
])JSON";

const ClockStyle& Presets::bold()
{
    static const ClockStyle style = [] {
        ClockStyle s;
        s.timeFont = FontSpec{BrandFont::displayFamily(), FontDesign::standard, FontWeightOption::heavy, 150, std::nullopt};
        s.labelFont = FontSpec{BrandFont::monoFamily(), FontDesign::monospaced, FontWeightOption::medium, 16, std::nullopt};
        s.labelTracking = 2.5;
        s.dateFormat = DateFormatOption::dayMonthYear;
        s.useGradient = false;
        s.timeColor = RGBA(0.91, 0.9, 0.88, 1);
        s.labelColor = RGBA(0.91, 0.9, 0.88, 0.75);
        s.shadowOpacity = 0.35;
        s.shadowRadius = 14;
        s.lineSpacing = -14;
        return s;
    }();
    return style;
}

QByteArray Presets::builtInJson()
{
    QByteArray json(builtInPresetsJson);
    json.replace("@DISPLAY@", BrandFont::displayFamily().toUtf8());
    json.replace("@MONO@", BrandFont::monoFamily().toUtf8());
    return json;
}

const QList<NamedStyle>& Presets::builtIn()
{
    static const QList<NamedStyle> presets = NamedStyles::read(builtInJson());
    return presets;
}
