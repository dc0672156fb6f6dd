// Picture controls: one holding its picture, one reading it from a blob field of a data set.
#pragma once

#include "report/engine/model/printable.h"
#include "report/expr/rp_dataset.h"
#include "report/output/export/export_filter.h"

#include <QImage>

#include <string>
#include <string_view>

namespace report::engine {

// Pictures with more pixels than this are not decoded from a blob.
inline constexpr long long kMaxDecodedPixels = 32LL * 1024 * 1024;

// The picture in `bytes` (any format Qt reads: BMP, PNG, JPEG, GIF ...); a null image when the
// bytes hold none, are damaged, or hold a picture over kMaxPictureSide a side or over
// kMaxDecodedPixels in all. Never throws.
[[nodiscard]] QImage DecodePicture(std::string_view bytes);

class TRpImage : public TRpPrintable {
public:
    // 105 by 105 pixels, no picture.
    TRpImage();

    [[nodiscard]] const QImage& Picture() const { return picture_; }
    // Copies `picture`.
    void SetPicture(const QImage& picture);
    // The control takes the picture's pixel size whenever the picture or a setting changes.
    [[nodiscard]] bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    // Stretched over the control; otherwise at the size it has on a 96-dpi screen.
    [[nodiscard]] bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    // Centred in the control (when not stretched).
    [[nodiscard]] bool Center() const { return center_; }
    void SetCenter(bool center);
    // The picture covers the whole control.
    [[nodiscard]] bool Opaque() const { return opaque_; }

    // Hands the picture to the export filter of an exporting report and draws it on the page
    // canvas (the export run's too), then the frame.
    void Print(int ofsX, int ofsY) override;
    // What the control hands to an export filter at the band offsets.
    [[nodiscard]] output::ExportPicture PictureValue(int ofsX, int ofsY) const;

    void Paint(output::Canvas& canvas) override;
    [[nodiscard]] bool IsTransparent() const override { return !opaque_; }

private:
    void PictureChanged();

    QImage picture_;
    bool autoSize_ = false;
    bool stretch_ = false;
    bool center_ = false;
    bool opaque_ = false;
};

// What the picture controls that read a blob field of a data set share: the data set and field,
// Stretch and Center, and the design view that names the field.
class TRpBlobPictureControl : public TRpPrintable, private expr::TRpDataSetWatcher {
public:
    ~TRpBlobPictureControl() override;

    // Not owned; cleared when the data set is destroyed.
    [[nodiscard]] expr::TRpDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(expr::TRpDataSet* dataSet);
    std::string DataField;
    [[nodiscard]] bool Stretch() const { return stretch_; }
    void SetStretch(bool stretch);
    [[nodiscard]] bool Center() const { return center_; }
    void SetCenter(bool center);

    // The field is looked up by DataField; without a data set or such a field there is none.
    void Prepare() override;
    void Unprepare() override;
    // The field found at Prepare; null outside a run or without one.
    [[nodiscard]] expr::TRpField* Field() const;

    // Design view: the control's colour and the field's (or the control's) name in parentheses.
    void Paint(output::Canvas& canvas) override;

protected:
    // 105 by 105 pixels, centred, no data set.
    TRpBlobPictureControl();
    // The picture in the current record's blob; null without a blob field or a readable one.
    [[nodiscard]] QImage BlobPicture() const;

    bool stretch_ = false;
    bool center_ = true;

private:
    void DataSetGone(expr::TRpDataSet& dataSet) override;

    expr::TRpDataSet* dataSet_ = nullptr;
    int fieldIndex_ = -1;
};

class TRpDBImage : public TRpBlobPictureControl {
public:
    TRpDBImage() = default;

    // Draws the blob's picture (with Stretch, an empty or unreadable one fills the control
    // with Color), then the frame. Hands the picture to an exporting report's filter first.
    void Print(int ofsX, int ofsY) override;
    // The control's pixel height, or for a blob field the picture's (0 when there is none).
    void GetExpandedHeight(long double& newHeight) override;
    void ExpandedHook() override {}
    [[nodiscard]] bool CountsForKeepTogether() const override { return true; }
};

}  // namespace report::engine
