// qpdf builds every object and writes the file; each image's stream data
// is copied from the scratch file as qpdf writes it, and passes through as
// it is (no stream is decoded), while the small streams (page contents,
// profiles) are deflated by qpdf. Failures come out of qpdf as exceptions:
// the output's and the scratch file's own are told apart from qpdf's.
#include "image/formats/PdfWriter.h"

#include "image/WriteTime.h"

#include <qpdf/Pipeline.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFMatrix.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <qpdf/QUtil.hh>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>

namespace {

constexpr double kPointsPerInch = 72;
constexpr int kPointDecimals = 4;
constexpr std::size_t kOutputBytes = std::size_t{1} << 20;
constexpr int kPngPredictorPerRow = 15; // PNG predictors, each row naming its own
constexpr std::int32_t kGrey = 1;
constexpr std::int32_t kNarrowSampleBits = 8;
constexpr const char* kImageName = "/Im0";
constexpr const char* kUnitVersion = "1.6"; // UserUnit
constexpr const char* kWideVersion = "1.5"; // 16-bit samples
constexpr int kTmYearBase = 1900;           // std::tm counts years from 1900
constexpr const char* kNarrowVersion = "1.4";
// The largest page side in units (PDF 1.7, Annex C).
constexpr double kMostUnits = 14400;

// The ICC streams made so far, one per distinct profile.
using ProfileStreams = std::map<std::vector<std::uint8_t>, QPDFObjectHandle>;

struct OutputStopped {};
struct ScratchUnread {};

// The file's bytes gathered into large pieces for the sink (qpdf writes
// a token at a time).
class SinkPipeline final : public Pipeline {
public:
    explicit SinkPipeline(const PdfSink& sink) : Pipeline("output", nullptr), sink_(sink) {
        buffer_.reserve(kOutputBytes);
    }

    void write(unsigned char const* data, size_t length) override {
        if (buffer_.size() + length > kOutputBytes) {
            Flush();
        }
        if (length >= kOutputBytes) {
            Pass(data, length);
            return;
        }
        buffer_.insert(buffer_.end(), data, data + length);
    }
    void finish() override { Flush(); }

private:
    void Flush() {
        Pass(buffer_.data(), buffer_.size());
        buffer_.clear();
    }
    void Pass(const std::uint8_t* bytes, std::size_t size) {
        if (size > 0 && !sink_(bytes, size)) {
            throw OutputStopped{};
        }
    }

    const PdfSink& sink_;
    std::vector<std::uint8_t> buffer_;
};

QPDFObjectHandle Name(const char* name) {
    return QPDFObjectHandle::newName(name);
}

QPDFObjectHandle Integer(long long value) {
    return QPDFObjectHandle::newInteger(value);
}

// The image in one write: qpdf gathers a stream's data in a string before it
// writes it, which grows (and copies) piece by piece when fed in pieces.
void CopyScratch(const PdfScratchRead& read, const PdfPage& page, Pipeline* pipeline) {
    const auto size = static_cast<std::size_t>(page.length);
    const std::unique_ptr<std::uint8_t[]> image(new std::uint8_t[size]);
    if (!read(page.offset, image.get(), size)) {
        throw ScratchUnread{};
    }
    pipeline->write(image.get(), size);
    pipeline->finish();
}

QPDFObjectHandle ColourSpace(QPDF& pdf, const PdfPage& page, ProfileStreams& profiles) {
    const char* device = page.channels == kGrey ? "/DeviceGray" : "/DeviceRGB";
    if (page.profile.empty()) {
        return Name(device);
    }
    QPDFObjectHandle& icc = profiles[page.profile];
    if (!icc.isInitialized()) {
        icc = QPDFObjectHandle::newStream(&pdf,
                                          std::string(page.profile.begin(), page.profile.end()));
        icc.getDict().replaceKey("/N", Integer(page.channels));
        icc.getDict().replaceKey("/Alternate", Name(device));
    }
    QPDFObjectHandle space = QPDFObjectHandle::newArray();
    space.appendItem(Name("/ICCBased"));
    space.appendItem(icc);
    return space;
}

// PNG predictors work on whole rows of Columns pixels of Colors samples.
QPDFObjectHandle PredictorParms(const PdfPage& page) {
    QPDFObjectHandle parms = QPDFObjectHandle::newDictionary();
    parms.replaceKey("/Predictor", Integer(kPngPredictorPerRow));
    parms.replaceKey("/Colors", Integer(page.channels));
    parms.replaceKey("/BitsPerComponent", Integer(page.bits));
    parms.replaceKey("/Columns", Integer(page.width));
    return parms;
}

QPDFObjectHandle Image(QPDF& pdf, const PdfPage& page, const PdfScratchRead& read,
                       ProfileStreams& profiles) {
    QPDFObjectHandle image = QPDFObjectHandle::newStream(&pdf);
    QPDFObjectHandle dict = image.getDict();
    dict.replaceKey("/Type", Name("/XObject"));
    dict.replaceKey("/Subtype", Name("/Image"));
    dict.replaceKey("/Width", Integer(page.width));
    dict.replaceKey("/Height", Integer(page.height));
    dict.replaceKey("/BitsPerComponent", Integer(page.bits));
    dict.replaceKey("/ColorSpace", ColourSpace(pdf, page, profiles));
    image.replaceStreamData(
        [&read, page](Pipeline* pipeline) { CopyScratch(read, page, pipeline); },
        Name(page.jpeg ? "/DCTDecode" : "/FlateDecode"),
        page.jpeg ? QPDFObjectHandle::newNull() : PredictorParms(page));
    return image;
}

// 1, or the fewest whole points per unit that bring the page's larger side
// within kMostUnits.
double PointsPerUnit(const PdfPage& page) {
    const double largest = std::max(page.width / page.dotsPerInchX * kPointsPerInch,
                                    page.height / page.dotsPerInchY * kPointsPerInch);
    return std::max(1.0, std::ceil(largest / kMostUnits));
}

QPDFObjectHandle Rectangle(double width, double height) {
    QPDFObjectHandle box = QPDFObjectHandle::newArray();
    for (const double value : {0.0, 0.0, width, height}) {
        box.appendItem(QPDFObjectHandle::newReal(value, kPointDecimals));
    }
    return box;
}

// The image drawn over the whole page: the unit square scaled to its size.
QPDFObjectHandle Contents(QPDF& pdf, double width, double height) {
    const std::string drawn =
        "q " + QPDFMatrix(width, 0, 0, height, 0, 0).unparse() + " cm " + kImageName + " Do Q";
    return QPDFObjectHandle::newStream(&pdf, drawn);
}

QPDFObjectHandle Page(QPDF& pdf, const PdfPage& page, const PdfScratchRead& read,
                      ProfileStreams& profiles) {
    const double unit = PointsPerUnit(page);
    const double width = page.width / page.dotsPerInchX * kPointsPerInch / unit;
    const double height = page.height / page.dotsPerInchY * kPointsPerInch / unit;
    QPDFObjectHandle images = QPDFObjectHandle::newDictionary();
    images.replaceKey(kImageName, Image(pdf, page, read, profiles));
    QPDFObjectHandle resources = QPDFObjectHandle::newDictionary();
    resources.replaceKey("/XObject", images);
    QPDFObjectHandle dict = QPDFObjectHandle::newDictionary();
    dict.replaceKey("/Type", Name("/Page"));
    dict.replaceKey("/MediaBox", Rectangle(width, height));
    dict.replaceKey("/Resources", resources);
    dict.replaceKey("/Contents", Contents(pdf, width, height));
    if (unit > 1) {
        dict.replaceKey("/UserUnit", Integer(static_cast<long long>(unit)));
    }
    return pdf.makeIndirectObject(dict);
}

// The version the pages need.
const char* VersionOf(const std::vector<PdfPage>& pages) {
    const char* version = kNarrowVersion;
    for (const PdfPage& page : pages) {
        if (PointsPerUnit(page) > 1) {
            return kUnitVersion;
        }
        if (page.bits > kNarrowSampleBits) {
            version = kWideVersion;
        }
    }
    return version;
}

// A fixed time is written in UTC ("D:...Z"), now in local time with its offset.
QUtil::QPDFTime CreationTime(const WriteTime& time) {
    if (!time.utc) {
        return QUtil::get_current_qpdf_time();
    }
    const std::tm t = CalendarOf(time);
    return {t.tm_year + kTmYearBase, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, 0};
}

void SetInformation(QPDF& pdf, const std::string& producer, const WriteTime& time) {
    QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
    info.replaceKey("/Producer", QPDFObjectHandle::newUnicodeString(producer));
    info.replaceKey("/CreationDate",
                    QPDFObjectHandle::newString(QUtil::qpdf_time_to_pdf_time(CreationTime(time))));
    pdf.getTrailer().replaceKey("/Info", pdf.makeIndirectObject(info));
}

void Write(const std::vector<PdfPage>& pages, const std::string& producer,
           const PdfScratchRead& read, const PdfSink& sink) {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.emptyPDF();
    QPDFPageDocumentHelper document(pdf);
    ProfileStreams profiles;
    for (const PdfPage& page : pages) {
        document.addPage(Page(pdf, page, read, profiles), false);
    }
    const WriteTime time = TimeOfWriting();
    SetInformation(pdf, producer, time);
    SinkPipeline output(sink);
    QPDFWriter writer(pdf);
    writer.setOutputPipeline(&output);
    writer.setDecodeLevel(qpdf_dl_none); // the images pass as they were made
    writer.setCompressStreams(true);     // contents and profiles are deflated
    writer.setMinimumPDFVersion(VersionOf(pages));
    // With a fixed time, the file's /ID comes from its contents, not the clock.
    writer.setDeterministicID(time.utc);
    writer.write();
    output.finish();
}

} // namespace

PdfOutcome WritePdfPages(const std::vector<PdfPage>& pages, const std::string& producer,
                         const PdfScratchRead& read, const PdfSink& sink) {
    try {
        Write(pages, producer, read, sink);
    } catch (const OutputStopped&) {
        return {PdfFailure::OutputStopped, {}};
    } catch (const ScratchUnread&) {
        return {PdfFailure::ScratchUnread, {}};
    } catch (const std::bad_alloc&) {
        return {PdfFailure::NoMemory, {}};
    } catch (const std::exception& e) {
        return {PdfFailure::Refused, e.what()};
    }
    return {};
}
