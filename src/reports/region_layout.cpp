#include "reports/region_layout.h"

namespace kestrova::reports {

const std::array<RegionRow, kRegionRowCount> kRegionRows{{
    {"一、主产区", "", true},
    {"  河  北", "13"}, {"  内蒙古", "15"}, {"  辽  宁", "21"}, {"  吉  林", "22"}, {"  黑龙江", "23"},
    {"  江  苏", "32"}, {"  安  徽", "34"}, {"  江  西", "36"}, {"  山  东", "37"}, {"  河  南", "41"},
    {"  湖  北", "42"}, {"  湖  南", "43"}, {"  四  川", "51"},
    {"二、主销区", "", true},
    {"  北  京", "11"}, {"  天  津", "12"}, {"  上  海", "31"}, {"  浙  江", "33"}, {"  福  建", "35"},
    {"  广  东", "44"}, {"  海  南", "46"},
    {"三、产销平衡区", "", true},
    {"  山  西", "14"}, {"  广  西", "45"}, {"  重  庆", "50"}, {"  贵  州", "52"}, {"  云  南", "53"},
    {"  西  藏", "54"}, {"  陕  西", "61"}, {"  甘  肃", "62"}, {"  青  海", "63"}, {"  宁  夏", "64"},
    {"  新  疆", "65"},
    {"  新疆兵团", ""},
}};

int regionRowOfCode(const QString &code)
{
    if (code.size() != 2)
        return -1;
    for (int i = 0; i < kRegionRowCount; ++i)
        if (kRegionRows[size_t(i)].code[0] && code == QLatin1String(kRegionRows[size_t(i)].code))
            return i;
    return -1;
}

} // namespace kestrova::reports
