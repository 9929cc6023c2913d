#include "taskbar/theme.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// The styles shipped with the product. Colours are exact: hex colours as byte / 255, the others
// as chosen when the styles were made.
constexpr const char* builtInJson = R"json([
  {
    "id": "A913E043-44D7-42BE-8DF7-650E48C912E6",
    "name": "Eclipse",
    "style": "glass",
    "background": {"r": 0.10196078431372549, "g": 0.10588235294117647, "b": 0.11764705882352941, "a": 0.6},
    "background2": {"r": 0.07058823529411765, "g": 0.03529411764705882, "b": 0.12156862745098039, "a": 1},
    "foreground": {"r": 0.9137254901960784, "g": 0.9019607843137255, "b": 0.8823529411764706, "a": 1},
    "indicator": {"r": 0.9411764705882353, "g": 0.6274509803921569, "b": 0.5411764705882353, "a": 1},
    "indicatorFollowsWallpaper": true,
    "border": 0.1,
    "layout": {
      "edge": "bottom",
      "alignment": "center",
      "barCorners": "all",
      "barHeight": 52,
      "barRadius": 26,
      "barWidth": 0.4,
      "edgeGap": 10,
      "hoverOpacity": 0,
      "hoverZoom": 1.1,
      "iconSize": 36,
      "iconSpacing": 2,
      "indicator": "dot",
      "tileRadius": 12
    },
    "clock": {
      "show": true,
      "showDate": true,
      "showSeconds": false,
      "use24Hour": true,
      "dateFormat": "EEE d MMM",
      "font": "monospaced",
      "scale": 1,
      "click": "calendar"
    }
  },
  {
    "id": "41F3C94E-2D68-464B-A5D0-083DB41FECDE",
    "name": "Graphite",
    "style": "glass",
    "background": {"r": 0.0784313725490196, "g": 0.08235294117647059, "b": 0.09019607843137255, "a": 0.55},
    "background2": {"r": 0.07058823529411765, "g": 0.03529411764705882, "b": 0.12156862745098039, "a": 1},
    "foreground": {"r": 0.9137254901960784, "g": 0.9019607843137255, "b": 0.8823529411764706, "a": 1},
    "indicator": {"r": 0.9411764705882353, "g": 0.6274509803921569, "b": 0.5411764705882353, "a": 1},
    "indicatorFollowsWallpaper": true,
    "border": 0.06,
    "layout": {
      "edge": "bottom",
      "alignment": "center",
      "barCorners": "square",
      "barHeight": 44,
      "barRadius": 10,
      "barWidth": 1,
      "edgeGap": 0,
      "hoverOpacity": 0.12,
      "hoverZoom": 1,
      "iconSize": 32,
      "iconSpacing": 4,
      "indicator": "line",
      "tileRadius": 6
    },
    "clock": {
      "show": true,
      "showDate": true,
      "showSeconds": false,
      "use24Hour": true,
      "dateFormat": "EEE d MMM",
      "font": "monospaced",
      "scale": 1,
      "click": "calendar"
    }
  },
  {
    "id": "3FEBBEB0-1B4A-4581-BDD5-6E8FD114F729",
    "name": "Infinity",
    "style": "solid",
    "background": {"r": 0.3059, "g": 0.2039, "b": 0.3412, "a": 1},
    "background2": {"r": 0, "g": 0, "b": 0, "a": 1},
    "foreground": {"r": 0.9843, "g": 0.9216, "b": 0.7529, "a": 1},
    "indicator": {"r": 0.3608, "g": 0.7882, "b": 0.7451, "a": 1},
    "indicatorFollowsWallpaper": false,
    "border": 0,
    "layout": {
      "edge": "left",
      "alignment": "center",
      "barCorners": "all",
      "barHeight": 62,
      "barRadius": 14,
      "barWidth": 0.62,
      "edgeGap": 8,
      "hoverOpacity": 0,
      "hoverZoom": 1.1,
      "iconSize": 36,
      "iconSpacing": 0,
      "indicator": "line",
      "indicatorGap": 8,
      "tileRadius": 6
    },
    "clock": {
      "show": true,
      "showDate": false,
      "showSeconds": false,
      "use24Hour": true,
      "dateFormat": "EEE d.M.",
      "font": "monospaced",
      "scale": 0.95,
      "click": "calendar"
    }
  },
  {
    "id": "5C85F2C4-04F4-4DB2-B9FA-37731397611F",
    "name": "Frog Pond",
    "style": "solid",
    "background": {"r": 0.5021902322769165, "g": 0.5870398879051208, "b": 0.4162274897098541, "a": 1},
    "background2": {"r": 0.078, "g": 0.145, "b": 0.165, "a": 1},
    "foreground": {"r": 0.9123124480247498, "g": 0.9166490435600281, "b": 0.9944943785667419, "a": 1},
    "indicator": {"r": 0.9123124480247498, "g": 0.9166490435600281, "b": 0.9944943785667419, "a": 1},
    "indicatorFollowsWallpaper": false,
    "border": 0,
    "layout": {
      "edge": "bottom",
      "alignment": "center",
      "barCorners": "all",
      "barHeight": 46,
      "barRadius": 26,
      "barWidth": 0.5,
      "edgeGap": 6,
      "hoverOpacity": 0,
      "hoverZoom": 1.1,
      "iconSize": 36,
      "iconSpacing": 5,
      "indicator": "pill",
      "tileRadius": 8
    },
    "clock": {
      "show": true,
      "showDate": false,
      "showSeconds": false,
      "use24Hour": true,
      "dateFormat": "EEE d.M.",
      "font": "rounded",
      "scale": 1,
      "click": "calendar"
    }
  }
])json";

} // namespace

const QList<Theme>& Theme::builtIns()
{
    // A list that fails to decode as a whole gives no built-ins rather than a partial set.
    static const QList<Theme> themes = [] {
        QList<Theme> decoded;
        const QJsonDocument document = QJsonDocument::fromJson(QByteArray(builtInJson));
        for (const QJsonValue& element : document.array()) {
            std::optional<Theme> theme = Theme::fromJson(element);
            if (!theme)
                return QList<Theme>();
            decoded.append(std::move(*theme));
        }
        return decoded;
    }();
    return themes;
}

std::optional<Theme> Theme::builtInNamed(const QString& name)
{
    for (const Theme& theme : builtIns())
        if (theme.name == name)
            return theme;
    return std::nullopt;
}
