#include "survey/SoundVelocityProfile.h"

#include "platform/NumberText.h"
#include "platform/ScanFormat.h"
#include "survey/SlotScan.h"

#include <cctype>
#include <cmath>
#include <map>

namespace {

// A depth beyond this is an instrument's fill value or a wrong column, and would not fit an int.
constexpr double FarDepth = 100000.0;

std::string Trimmed(const std::string& s)
{
    size_t a = 0, b = s.size();
    while (a < b && static_cast<unsigned char>(s[a]) <= ' ')
        ++a;
    while (b > a && static_cast<unsigned char>(s[b - 1]) <= ' ')
        --b;
    return s.substr(a, b - a);
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool Contains(const std::string& s, const char* what) { return s.find(what) != std::string::npos; }

std::string ImplausibleMessage(double v, int line, int more, bool english)
{
    std::string m;
    if (english)
        m = "Value exceeds SV range! Please correct " + FormatGeneral(v) + " value at line " +
            std::to_string(line) + " in source file. This line will be skipped.";
    else
        m = "Bu değer belkenen ses hızı aralığında değl! Ses hızı " + FormatGeneral(v) +
            "'nin bulunduğu satır " + std::to_string(line) + " kullanılmayacaktır.";
    if (more > 0)
        m += english ? "\nand " + std::to_string(more) + " more lines"
                     : "\nve " + std::to_string(more) + " satır daha";
    return m;
}

// A slot's first sample: the line itself with its count, as the list has always shown it, when
// that reads back as this sample; else the line's depth and velocity alone (a line with text
// after the velocity, "12,1500.5 m/s", or a third number would read as no slot or as a slot of
// many samples, and the next sample would replace it instead of averaging with it).
std::string FirstSlotText(const std::string& line, int depth, double velocity)
{
    std::string slot = line + ",1";
    int slotDepth = 0, count = 0;
    double slotVelocity = 0;
    if (ScanDepthVelocityCount(slot, slotDepth, slotVelocity, count) == 3 && slotDepth == depth &&
        slotVelocity == velocity && count == 1)
        return slot;
    return std::to_string(depth) + "," + FormatFixed(velocity, 3) + ",1";
}

} // namespace

bool IsValidSoundVelocity(double v) { return v >= 1350.0 && v <= 1600.0; }

bool ParseSvpMaxDepth(const std::string& text, int& maxDepth, std::string& message)
{
    int value = 0;
    if (!ParseInteger(std::string_view(Trimmed(text)), value) || value < 0 ||
        value > LargestSvpMaxDepth) {
        message = "'" + text + "' is not a valid Max Depth: give a whole number of metres from 0 to " +
                  std::to_string(LargestSvpMaxDepth) + ".";
        return false;
    }
    maxDepth = value;
    return true;
}

SvpExtractResult ExtractSoundVelocities(const std::vector<std::string>& raw,
                                        const std::string& searchString, bool svFirst,
                                        bool english, const SvpAskOkCancel& ask)
{
    SvpExtractResult result;
    std::string error;
    const ScanFormat format = CompileSounderFormat(searchString, error);
    if (!format.valid) {
        result.refused = true;
        result.message = "The search string \"" + searchString + "\" is refused: " + error;
        return result;
    }
    if (format.numberCount != 2) {
        result.refused = true;
        result.message = "The search string \"" + searchString +
                         "\" must read exactly two numbers (%lf); it reads " +
                         std::to_string(format.numberCount) + ".";
        return result;
    }

    struct Scanned {
        bool ok = false;
        double depth = 0, velocity = 0;
    };
    std::vector<Scanned> scanned(raw.size());
    int firstImplausible = -1;
    int implausible = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        double values[ScanFormat::MaxNumbers] = {};
        if (ScanSounderLine(raw[i], format, values) < 2)
            continue;
        scanned[i].ok = true;
        scanned[i].velocity = svFirst ? values[0] : values[1];
        scanned[i].depth = svFirst ? values[1] : values[0];
        if (std::fabs(scanned[i].depth) <= FarDepth && !IsValidSoundVelocity(scanned[i].velocity)) {
            if (firstImplausible < 0)
                firstImplausible = static_cast<int>(i);
            ++implausible;
        }
    }

    result.extracted.reserve(raw.size());
    int firstScanned = -1;
    int firstDataUnscanned = -1;
    int dataUnscanned = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
        const Scanned& s = scanned[i];
        if (!s.ok) {
            ++result.unscannedLines;
            if (firstScanned >= 0 && !Trimmed(raw[i]).empty()) {
                if (firstDataUnscanned < 0)
                    firstDataUnscanned = static_cast<int>(i);
                ++dataUnscanned;
            }
            continue;
        }
        if (firstScanned < 0)
            firstScanned = static_cast<int>(i);
        if (std::fabs(s.depth) > FarDepth) {
            ++result.farDepthLines;
            continue;
        }
        if (!IsValidSoundVelocity(s.velocity)) {
            if (static_cast<int>(i) == firstImplausible) {
                const bool skip = !ask || ask(ImplausibleMessage(s.velocity, firstImplausible + 1,
                                                                 implausible - 1, english));
                if (!skip) {
                    result.cancelled = true;
                    return result;
                }
            }
            ++result.implausibleLines;
            continue;
        }
        result.extracted.push_back(FormatFixed(s.depth, 0) + "," + FormatFixed(s.velocity, 3));
    }

    // A step that extracts nothing, or loses data lines, says so: a wrong search string must not
    // look like a short cast.
    std::string notice;
    if (firstScanned < 0 && !raw.empty()) {
        int firstText = -1;
        for (size_t i = 0; i < raw.size() && firstText < 0; ++i)
            if (!Trimmed(raw[i]).empty())
                firstText = static_cast<int>(i);
        notice = "None of the " + std::to_string(raw.size()) +
                 " lines matched the search string \"" + searchString + "\".";
        if (firstText >= 0)
            notice += " First line skipped: " + std::to_string(firstText + 1) + " \"" +
                      raw[firstText].substr(0, 120) + "\".";
    } else if (dataUnscanned > 0) {
        notice = std::to_string(dataUnscanned) + " of the data lines did not match the search string \"" +
                 searchString + "\" and were skipped. First: line " +
                 std::to_string(firstDataUnscanned + 1) + " \"" +
                 raw[firstDataUnscanned].substr(0, 120) + "\".";
    }
    if (result.farDepthLines > 0) {
        if (!notice.empty())
            notice += "\n";
        notice += std::to_string(result.farDepthLines) +
                  " lines with a depth beyond 100000 m were skipped.";
    }
    result.message = notice;
    return result;
}

std::vector<std::string> AverageSoundVelocities(const std::vector<std::string>& extracted,
                                                int maxDepth)
{
    std::vector<std::string> slotLines(static_cast<size_t>(maxDepth) + 1);
    int deepest = -1;
    for (const std::string& line : extracted) {
        int d = 0;
        double v = 0;
        if (ScanDepthVelocity(line, d, v) < 2)
            continue;
        if (d > deepest)
            deepest = d;
        if (d < 0 || d > maxDepth)
            continue;
        std::string& slot = slotLines[static_cast<size_t>(d)];
        int slotDepth = 0, count = 0;
        double mean = 0;
        if (ScanDepthVelocityCount(slot, slotDepth, mean, count) == 3 && slotDepth == d) {
            // The slot's text is the only store of the mean: the next sample averages the
            // rounded value, as the list shows it.
            const double newMean = (count * mean + v) / (count + 1);
            slot = std::to_string(d) + "," + FormatFixed(newMean, 2) + "," + std::to_string(count + 1);
        } else {
            slot = FirstSlotText(line, d, v);
        }
    }
    if (deepest >= 0 && deepest < maxDepth) {
        double v = 0;
        if (ScanSkipDepthVelocity(slotLines[static_cast<size_t>(deepest)], v) == 1) {
            const std::string text = FormatFixed(v, 2);
            for (int k = deepest + 1; k <= maxDepth; ++k)
                slotLines[static_cast<size_t>(k)] = std::to_string(k) + "," + text + ",0";
        }
    }
    return slotLines;
}

SvpColumnResult BuildVelocityColumn(const std::vector<std::string>& averaged, int maxDepth,
                                    bool english)
{
    SvpColumnResult result;
    std::map<int, double> byDepth;
    std::vector<int> badLines;
    for (size_t i = 0; i < averaged.size(); ++i) {
        if (Trimmed(averaged[i]).empty())
            continue;
        int d = 0;
        double v = 0;
        if (ScanDepthVelocity(averaged[i], d, v) < 2 || d < 0 || d > maxDepth) {
            badLines.push_back(static_cast<int>(i) + 1);
            continue;
        }
        if (byDepth.count(d)) {
            result.message = (english ? "Two lines of the averaged values give depth "
                                      : "Ortalama değerlerde iki satır aynı derinliği veriyor: ") +
                             std::to_string(d) + (english ? " m. Please keep one of them." : " m.");
            return result;
        }
        byDepth[d] = v;
    }
    if (!badLines.empty()) {
        std::string list;
        for (size_t i = 0; i < badLines.size() && i < 10; ++i)
            list += (i ? ", " : "") + std::to_string(badLines[i]);
        if (badLines.size() > 10)
            list += " and " + std::to_string(badLines.size() - 10) + " more";
        result.message = "These lines of the averaged values are unreadable or outside depths 0 to " +
                         std::to_string(maxDepth) + ": " + list + ".";
        return result;
    }

    std::vector<std::string> column;
    column.reserve(static_cast<size_t>(maxDepth) + 1);
    double running = 0;
    int d = 0;
    double v = 0;
    for (int k = 0; k <= maxDepth; ++k) {
        auto it = byDepth.find(k);
        if (it != byDepth.end()) {
            d = k;
            v = it->second;
        } else if (k == 0) {
            result.message = english
                ? "SV value at 0 depth cannot be blank. Consider manually adding a value for 0 depth.Example 0,1500."
                : "Ses hızı profilinin başlangıcı olan 0 derinlik ve buna ait ses hızı boş olamaz. Bu değeri kendiniz doldurup yeniden deneyiniz.\nÖrnek: 0,1500.00";
            return result;
        }
        running = (d * running + v) / (d + 1);
        if (running >= 1700 || running <= 1300 || v >= 1700 || v <= 1300) {
            result.message = english
                ? "SV value at " + std::to_string(k) + " is out of range. Please check, correct retry."
                : "Sıra " + std::to_string(k) + " ses hızı değeri hatalı. Lütfen kontrol edin, düzeltin ve tekrar deneyin";
            return result;
        }
        column.push_back(FormatFixed(running, 2));
    }
    result.ok = true;
    result.column = std::move(column);
    return result;
}

SvpFormatDetection DetectSvpFormat(const std::vector<std::string>& raw, bool english,
                                   const std::string& fileName)
{
    SvpFormatDetection result;
    if (raw.empty()) {
        result.message = "No data loaded. Please load a file first.";
        return result;
    }
    int headerIndex = -1;
    for (size_t i = 0; i < raw.size(); ++i) {
        const std::string u = Upper(raw[i]);
        if ((Contains(u, "SV") || Contains(u, "VELOCITY")) &&
            (Contains(u, "PRESSURE") || Contains(u, "DEPTH"))) {
            headerIndex = static_cast<int>(i);
            break;
        }
    }
    const std::string notFound =
        "Could not find header line with SV and Pressure/Depth columns.\nPlease set search string manually.";
    if (headerIndex < 0) {
        result.message = notFound;
        return result;
    }
    const std::string& header = raw[static_cast<size_t>(headerIndex)];
    char delimiter = ',';
    for (char c : {',', '\t', ';'})
        if (header.find(c) != std::string::npos) {
            delimiter = c;
            break;
        }
    std::vector<std::string> fields;
    std::string rest = header;
    while (!rest.empty()) {
        const size_t at = rest.find(delimiter);
        if (at == std::string::npos) {
            fields.push_back(rest);
            break;
        }
        fields.push_back(rest.substr(0, at));
        rest = rest.substr(at + 1);
    }
    int svColumn = -1, depthColumn = -1;
    for (size_t i = 0; i < fields.size(); ++i) {
        const std::string f = Upper(Trimmed(fields[i]));
        if (Contains(f, "SV") || Contains(f, "VELOCITY"))
            svColumn = static_cast<int>(i);
        if (Contains(f, "PRESSURE") || Contains(f, "DEPTH"))
            depthColumn = static_cast<int>(i);
    }
    if (svColumn < 0 || depthColumn < 0) {
        result.message = notFound;
        return result;
    }

    // Under a ';' or TAB header a comma between digits is a decimal comma: "1500,23" would be
    // read as 1500 or split into two numbers, a plausible wrong profile.
    if (delimiter != ',') {
        for (size_t i = static_cast<size_t>(headerIndex) + 1; i < raw.size(); ++i) {
            const std::string& line = raw[i];
            for (size_t j = 1; j + 1 < line.size(); ++j)
                if (line[j] == ',' && std::isdigit(static_cast<unsigned char>(line[j - 1])) &&
                    std::isdigit(static_cast<unsigned char>(line[j + 1]))) {
                    result.message = "The file \"" + fileName + "\" writes numbers with a decimal comma (line " +
                                     std::to_string(i + 1) + ": \"" + line.substr(0, 120) +
                                     "\"). Please save it with decimal points and load it again.";
                    return result;
                }
        }
    }

    const int a = std::min(svColumn, depthColumn);
    const int b = std::max(svColumn, depthColumn);
    const std::string d(1, delimiter);
    std::string format;
    for (int i = 0; i < a; ++i)
        format += "%*[^" + d + "]" + d;
    format += "%lf" + d;
    for (int i = a + 1; i < b; ++i)
        format += "%*[^" + d + "]" + d;
    format += "%lf";
    result.ok = true;
    result.searchString = format;
    result.svFirst = svColumn < depthColumn;
    const std::string delimiterName = delimiter == '\t' ? "TAB" : d;
    if (english)
        result.message = "Auto-detected format:\n- Header at line: " + std::to_string(headerIndex + 1) +
                         "\n- Delimiter: " + delimiterName + "\n- SV column: " + std::to_string(svColumn + 1) +
                         "\n- Pressure column: " + std::to_string(depthColumn + 1) +
                         "\n- Search string: " + format;
    else
        result.message = "Otomatik algilanan format:\n- Baslik satiri: " + std::to_string(headerIndex + 1) +
                         "\n- Ayirici: " + delimiterName + "\n- SV sutunu: " + std::to_string(svColumn + 1) +
                         "\n- Basinc sutunu: " + std::to_string(depthColumn + 1) +
                         "\n- Arama dizesi: " + format;
    return result;
}
