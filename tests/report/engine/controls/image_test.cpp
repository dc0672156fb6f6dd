#include "report/engine/controls/image.h"

#include "report/output/canvas/trace_canvas.h"
#include "report/output/pages/page_format.h"
#include "tests/report/engine/model/printable_fixture.h"
#include "tests/support/ink_bounds.h"
#include "tests/support/memory_table.h"

#include <QBuffer>
#include <QByteArray>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace report::engine {
namespace {

using enginetest::LinesStartingWith;
using enginetest::PrintableTest;
using enginetest::RecordingFilter;
using testsupport::InkBounds;

// The print layout's row icon: 76.7 x 42.3 at the band's corner (Height, Left, Top, Width).
const std::vector<long double> kIconBox{42.3L, 0, 0, 76.7L};

QImage Black(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    return picture;
}

std::string Encoded(const QImage& picture, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(picture.save(&buffer, format));
    return bytes.toStdString();
}

TRpImage& PlaceImage(TRpBand& band, const QImage& picture, bool stretch, bool center)
{
    TRpImage& image = band.NewPrintable<TRpImage>();
    image.Size.ReadValues(kIconBox);
    image.SetPicture(picture);
    image.SetStretch(stretch);
    image.SetCenter(center);
    image.Prepare();
    return image;
}

TEST_F(PrintableTest, PictureAtItsScreenSizeOnTheRecordedPage)
{
    struct Row {
        const char* name;
        QImage picture;
        bool stretch;
        bool center;
        std::vector<std::string> lines;  // DrawPicture lines to their size
    };
    const Row rows[] = {
        {"corner", Black(16, 16), false, false, {"SetClipRect 0,0,29,16", "DrawPicture 0,0,16,16 16x16", "RemoveClip"}},
        {"centred", Black(16, 16), false, true, {"SetClipRect 0,0,29,16", "DrawPicture 6,0,22,16 16x16", "RemoveClip"}},
        // Larger than the control: its middle shows (halves toward zero: -35 / 2, -48 / 2).
        {"centred, larger",
         Black(64, 64),
         false,
         true,
         {"SetClipRect 0,0,29,16", "DrawPicture -17,-24,47,40 64x64", "RemoveClip"}},
        {"stretched", Black(16, 16), true, false, {"DrawPicture 0,0,29,16 16x16"}},
        {"no picture", QImage(), false, true, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Start(Device::Record96);
        PlaceImage(*band_, r.picture, r.stretch, r.center).Print(0, 0);
        std::vector<std::string> lines = RecordedTrace();
        for (std::string& line : lines) {
            if (line.rfind("DrawPicture", 0) == 0)
                line = line.substr(0, line.find(" sha1="));
        }
        EXPECT_EQ(lines, r.lines);
    }
}

TEST_F(PrintableTest, PictureAtItsScreenSizeAt600Dpi)
{
    struct Row {
        const char* name;
        QImage picture;
        bool center;
        QRect ink;
    };
    // 16 px on a 96-dpi screen are 100 px at 600 dpi; the control is 181 x 100 px.
    const Row rows[] = {
        {"corner", Black(16, 16), false, QRect(0, 0, 100, 100)},
        {"centred", Black(16, 16), true, QRect(40, 0, 100, 100)},
        {"larger, cut to the control", Black(64, 64), false, QRect(0, 0, 181, 100)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Start(Device::Printer600);
        PlaceImage(*band_, r.picture, false, r.center).Print(0, 0);
        EXPECT_EQ(InkBounds(PrintedPage()), r.ink);
    }
}

TEST_F(PrintableTest, TransparentPixelsLeaveWhatIsBelow)
{
    Start(Device::Printer600);
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    picture.setPixel(0, 0, qRgba(0, 0, 0, 255));
    PlaceImage(*band_, picture, false, false).Print(0, 0);
    // Only the one opaque pixel (6 x 6 device pixels) is dark.
    EXPECT_EQ(InkBounds(PrintedPage()), QRect(0, 0, 6, 6));
}

TEST(Image, AutoSizeAndOpaque)
{
    TRpImage image;
    image.SetBounds(0, 0, 20, 20);
    image.SetPicture(Black(29, 32));
    EXPECT_EQ(image.Bounds(), QRect(0, 0, 20, 20));
    EXPECT_TRUE(image.Opaque());
    image.SetAutoSize(true);
    EXPECT_EQ(image.Bounds(), QRect(0, 0, 29, 32));
    image.SetPicture(Black(10, 12));
    EXPECT_EQ(image.Bounds(), QRect(0, 0, 10, 12));
    // Smaller than the control, or see-through: not opaque.
    image.SetAutoSize(false);
    image.SetBounds(0, 0, 40, 40);
    image.SetStretch(true);
    EXPECT_FALSE(image.Opaque());
    QImage clear(50, 50, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    image.SetPicture(clear);
    EXPECT_FALSE(image.Opaque());
    EXPECT_TRUE(image.IsTransparent());
}

TEST(Image, DecodePicture)
{
    EXPECT_EQ(DecodePicture(Encoded(Black(5, 7), "PNG")).size(), QSize(5, 7));
    EXPECT_EQ(DecodePicture(Encoded(Black(5, 7), "BMP")).size(), QSize(5, 7));
    EXPECT_EQ(DecodePicture(Encoded(Black(5, 7), "JPG")).size(), QSize(5, 7));
    EXPECT_TRUE(DecodePicture("").isNull());
    EXPECT_TRUE(DecodePicture("not a picture at all").isNull());
    // A damaged picture: the start of a PNG.
    EXPECT_TRUE(DecodePicture(Encoded(Black(50, 50), "PNG").substr(0, 40)).isNull());
    // Wider than any page may hold.
    QImage wide(output::kMaxPictureSide + 1, 1, QImage::Format_Mono);
    wide.fill(0);
    EXPECT_TRUE(DecodePicture(Encoded(wide, "PNG")).isNull());
    QImage widest(output::kMaxPictureSide, 1, QImage::Format_Mono);
    widest.fill(0);
    EXPECT_EQ(DecodePicture(Encoded(widest, "PNG")).width(), output::kMaxPictureSide);
}

// A data set with one blob column and the rows: a 16 x 16 picture, an empty blob, bytes that
// are no picture.
std::unique_ptr<testsupport::MemoryTable> Pictures()
{
    auto table = std::make_unique<testsupport::MemoryTable>(
        "PICTURES",
        std::vector<testsupport::Column>{{"PHOTO", expr::TRpFieldKind::Blob}, {"TITLE", expr::TRpFieldKind::String}});
    table->AddRow({testsupport::Blob{Encoded(Black(16, 16), "PNG")}, std::string("one")});
    table->AddRow({testsupport::Blob{""}, std::string("two")});
    table->AddRow({testsupport::Blob{"garbage"}, std::string("three")});
    return table;
}

TRpDBImage& PlaceDBImage(TRpBand& band, expr::TRpDataSet* dataSet, const char* field, bool stretch)
{
    TRpDBImage& image = band.NewPrintable<TRpDBImage>();
    image.Size.ReadValues(kIconBox);
    image.SetDataSet(dataSet);
    image.DataField = field;
    image.SetStretch(stretch);
    image.Color = qRgb(0x11, 0x22, 0x33);
    image.Frame.SetDrawBottom(true);
    image.Prepare();
    return image;
}

TEST_F(PrintableTest, DataBoundPicture)
{
    const std::string fill = "FillRect 0,0,29,16 brush=solid/#112233";
    const std::string frame = "FillRect 0,15,29,16 brush=solid/#000000";
    struct Row {
        const char* name;
        std::size_t row;
        const char* field;
        bool stretch;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"picture, centred",
         0,
         "photo",
         false,
         {"SetClipRect 0,0,29,16", "DrawPicture 6,0,22,16 16x16", "RemoveClip", frame}},
        {"picture, stretched", 0, "PHOTO", true, {"DrawPicture 0,0,29,16 16x16", frame}},
        {"empty blob, stretched", 1, "PHOTO", true, {fill, frame}},
        {"no picture in the blob, stretched", 2, "PHOTO", true, {fill, frame}},
        {"empty blob", 1, "PHOTO", false, {frame}},
        {"no such field", 0, "PORTRAIT", true, {frame}},
        {"not a blob field", 0, "TITLE", true, {frame}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto table = Pictures();
        table->SetRow(r.row);
        Start(Device::Record96);
        PlaceDBImage(*band_, table.get(), r.field, r.stretch).Print(0, 0);
        std::vector<std::string> lines = RecordedTrace();
        for (std::string& line : lines) {
            if (line.rfind("DrawPicture", 0) == 0)
                line = line.substr(0, line.find(" sha1="));
        }
        EXPECT_EQ(lines, r.lines);
    }
    Start(Device::Record96);
    PlaceDBImage(*band_, nullptr, "PHOTO", true).Print(0, 0);
    EXPECT_EQ(RecordedTrace(), std::vector<std::string>{frame});
}

TEST_F(PrintableTest, DataBoundPictureFieldLivesForTheRun)
{
    auto table = Pictures();
    Start(Device::Record96);
    TRpDBImage& image = PlaceDBImage(*band_, table.get(), "PHOTO", true);
    ASSERT_NE(image.Field(), nullptr);
    EXPECT_EQ(image.Field()->FieldName(), "PHOTO");
    long double height = 0;
    image.GetExpandedHeight(height);
    EXPECT_EQ(height, 16);
    table->SetRow(1);
    image.GetExpandedHeight(height);
    EXPECT_EQ(height, 0);
    image.Unprepare();
    EXPECT_EQ(image.Field(), nullptr);
    EXPECT_EQ(image.RpPrinter(), nullptr);
    // Without a field the control's own height.
    image.GetExpandedHeight(height);
    EXPECT_EQ(height, 16);

    // The data set goes during a run: the control lets go of it and prints its frame only.
    image.Prepare();
    table.reset();
    EXPECT_EQ(image.DataSet(), nullptr);
    EXPECT_EQ(image.Field(), nullptr);
    image.Print(0, 0);
    EXPECT_EQ(RecordedTrace(), std::vector<std::string>{"FillRect 0,15,29,16 brush=solid/#000000"});
}

TEST_F(PrintableTest, DataBoundPictureIsExportedWithItsPixels)
{
    auto table = Pictures();
    Start(Device::Record96);
    RecordingFilter filter;
    Export(filter);
    TRpDBImage& image = PlaceDBImage(*band_, table.get(), "PHOTO", false);
    image.Tag = 3;
    image.Print(100, 200);
    ASSERT_EQ(filter.items.size(), 1u);
    const auto* picture = std::get_if<output::ExportPicture>(&filter.items[0].control);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->kind, output::PictureClass::DBImage);
    EXPECT_EQ(picture->pixels.size(), QSize(16, 16));
    EXPECT_TRUE(picture->Center);
    EXPECT_EQ(picture->Tag, 3);
    // DeviceX(100) = 38, DeviceY(200) = 76, DeviceX(176.7) = 67, DeviceY(242.3) = 92.
    EXPECT_EQ(picture->rect, output::GdiRect(38, 76, 67, 92));
    EXPECT_EQ(filter.items[0].x, 38);
    EXPECT_EQ(filter.items[0].y, 76);
}

TEST(Image, DesignViews)
{
    TRpImage image;
    image.SetBounds(0, 0, 40, 30);
    image.SetPicture(Black(10, 10));
    image.SetCenter(true);
    output::TraceCanvas canvas;
    image.Paint(canvas);
    ASSERT_EQ(canvas.Lines().size(), 2u);
    EXPECT_EQ(canvas.Lines()[0], "Rectangle 0,0,40,30 pen=dash/1/#000000 brush=clear/#ffffff");
    EXPECT_EQ(canvas.Lines()[1].rfind("DrawPicture 15,10,25,20 10x10", 0), 0u);

    auto table = Pictures();
    TRpDBImage dbImage;
    dbImage.Name = "RpDBImage1";
    dbImage.SetBounds(0, 0, 40, 30);
    dbImage.Color = qRgb(1, 2, 3);
    canvas.Clear();
    dbImage.Paint(canvas);
    EXPECT_EQ(canvas.Lines().front(), "FillRect 0,0,40,30 brush=solid/#010203");
    EXPECT_EQ(LinesStartingWith(canvas.Lines(), "TextOut 20,").size(), 1u);
    EXPECT_NE(LinesStartingWith(canvas.Lines(), "TextOut ").at(0).find("\"(RpDBImage1)\""), std::string::npos);
    dbImage.SetDataSet(table.get());
    dbImage.DataField = "photo";
    canvas.Clear();
    dbImage.Paint(canvas);
    EXPECT_NE(LinesStartingWith(canvas.Lines(), "TextOut ").at(0).find("\"(PHOTO)\""), std::string::npos);
}

}  // namespace
}  // namespace report::engine
