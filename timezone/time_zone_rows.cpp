#include "timezone/time_zone_rows.h"

#include <map>

#include "timezone/time_zone_report.h"

namespace vintrel {
namespace {

class CollectingView final : public TimeZoneReportView {
public:
    CollectingView() {
        for (TimeZoneLabel label : kTimeZoneLabelsInWindowOrder) {
            texts_[label] = TimeZoneLabelName(label);
        }
    }

    void setLabelText(TimeZoneLabel label, const std::string& text) override {
        texts_[label] = text;
    }

    const std::string& text(TimeZoneLabel label) const { return texts_.at(label); }

private:
    std::map<TimeZoneLabel, std::string> texts_;
};

}  // namespace

std::vector<std::pair<std::string, std::string>> TimeZoneReportRows() {
    CollectingView view;
    ShowTimeZoneReport(view);
    std::vector<std::pair<std::string, std::string>> rows;
    for (TimeZoneLabel label : kTimeZoneLabelsInWindowOrder) {
        rows.emplace_back(TimeZoneLabelCaption(label), view.text(label));
    }
    return rows;
}

}  // namespace vintrel
