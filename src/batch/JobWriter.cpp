#include "JobWriter.h"

#include <span>
#include <string>

#include "AdvancedChoices.h"
#include "JobPaths.h"
#include "TemplateImport.h"

namespace quorvel {
namespace {

struct Row {
    int Lead;
    std::string_view Text;
    int Trail;
};

std::string Render(std::span<const Row> rows) {
    std::string text;
    for (const Row& row : rows) {
        text.append(static_cast<std::size_t>(row.Lead), ' ');
        text.append(row.Text);
        text.append(static_cast<std::size_t>(row.Trail), ' ');
        text.append("\r\n");
    }
    return text;
}

constexpr Row kItemStart[] = {{7, "item", 4}};

constexpr Row kBuiltInBlock[] = {
    {9, "Job.MPEG.Text = '$$Super_Video_CD_PAL'", 0},
    {9, "Job.MPEG.Description = ''", 1},
    {9, "Job.MPEG.OutputStreamType = MPEG_OutputStreamType_System_VideoAudio", 3},
    {9, "Job.MPEG.OutputStreamType_ReadOnly = True", 1},
    {9, "Job.MPEG.Video.StreamType = MPEGVideoEncoder_StreamType_MPEG2", 1},
    {9, "Job.MPEG.Video.StreamType_ReadOnly = True", 1},
    {9, "Job.MPEG.Video.Width = 480", 4},
    {9, "Job.MPEG.Video.Width_ReadOnly = True", 2},
    {9, "Job.MPEG.Video.Height = 576", 3},
    {9, "Job.MPEG.Video.Height_ReadOnly = True", 1},
    {9, "Job.MPEG.Video.YUVFormat = 1", 2},
    {9, "Job.MPEG.Video.YUVFormat_ReadOnly = True", 2},
    {9, "Job.MPEG.Video.DC_prec = 0", 4},
    {9, "Job.MPEG.Video.DC_prec_ReadOnly = True", 4},
    {9, "Job.MPEG.Video.VideoEncodeMode = MPEGVideoEncoder_VideoEncodeMode_Progressive", 1},
    {9, "Job.MPEG.Video.VideoEncodeMode_ReadOnly = False", 3},
    {9, "Job.MPEG.Video.VideoEncodeMode_CantSelExtType = True", 2},
    {9, "Job.MPEG.Video.FrameRate = 3", 2},
    {9, "Job.MPEG.Video.FrameRate_ReadOnly = True", 2},
    {9, "Job.MPEG.Video.AspectRatio = 2", 4},
    {9, "Job.MPEG.Video.AspectRatio_ReadOnly = True", 4},
    {9, "Job.MPEG.Video.RateControlMode = MPEGVideoEncoder_RateControlMode_VBR_Auto", 4},
    {9, "Job.MPEG.Video.RateControlMode_ReadOnly = False", 3},
    {9, "Job.MPEG.Video.MaxBitRate = 2520000", 3},
    {9, "Job.MPEG.Video.MaxBitRate_ReadOnly = False", 4},
    {9, "Job.MPEG.Video.CBR_BitRate = 2520000", 2},
    {9, "Job.MPEG.Video.MVBR_MaxBitRate = 2520000", 2},
    {9, "Job.MPEG.Video.MVBR_MinBitRate = 0", 4},
    {9, "Job.MPEG.Video.MVBR_Quality_P = 0", 1},
    {9, "Job.MPEG.Video.MVBR_Quality_B = 20", 4},
    {9, "Job.MPEG.Video.MVBR_EnablePadding = False", 1},
    {9, "Job.MPEG.Video.VBR_AvgBitRate = 1150000", 3},
    {9, "Job.MPEG.Video.VBR_MaxBitRate = 2520000", 3},
    {9, "Job.MPEG.Video.VBR_MinBitRate = 0", 1},
    {9, "Job.MPEG.Video.VBR_EnablePadding = False", 2},
    {9, "Job.MPEG.Video.AVBR_Quality = 100", 1},
    {9, "Job.MPEG.Video.AVBR_MaxBitRate = 2520000", 2},
    {9, "Job.MPEG.Video.AVBR_MinBitRate = 0", 4},
    {9, "Job.MPEG.Video.AVBR_EnablePadding = False", 1},
    {9, "Job.MPEG.Video.CQ_Quality = 100", 3},
    {9, "Job.MPEG.Video.CQ_Quality_P = 0", 3},
    {9, "Job.MPEG.Video.CQ_Quality_B = 20", 2},
    {9, "Job.MPEG.Video.CQ_MaxBitRate = 2520000", 4},
    {9, "Job.MPEG.Video.CQ_MinBitRate = 0", 2},
    {9, "Job.MPEG.Video.CQ_EnablePadding = False", 3},
    {9, "Job.MPEG.Video.VBVBufferSize = 114688", 1},
    {9, "Job.MPEG.Video.VBVBufferSize_ReadOnly = True", 2},
    {9, "Job.MPEG.Video.GOP_SeqHeaderInterval = 1", 2},
    {9, "Job.MPEG.Video.GOP_SeqHeaderInterval_ReadOnly = True", 2},
    {9, "Job.MPEG.Video.GOP_I_FrameCount = 1", 3},
    {9, "Job.MPEG.Video.GOP_I_FrameCount_ReadOnly = False", 2},
    {9, "Job.MPEG.Video.GOP_P_FrameCount = 5", 3},
    {9, "Job.MPEG.Video.GOP_P_FrameCount_ReadOnly = False", 2},
    {9, "Job.MPEG.Video.GOP_B_FrameCount = 2", 3},
    {9, "Job.MPEG.Video.GOP_B_FrameCount_ReadOnly = False", 2},
    {9, "Job.MPEG.Video.GOP_BitStreamForEdit = False", 3},
    {9, "Job.MPEG.Video.GOP_BitStreamForEdit_ReadOnly = False", 2},
    {9, "Job.MPEG.Video.QuantizeMatrix_Intra_ReadOnly = False", 2},
    {9, "Job.MPEG.Video.QuantizeMatrix_NonIntra_ReadOnly = False", 3},
    {9, "Job.MPEG.Video.Profile = 4", 4},
    {9, "Job.MPEG.Video.Profile_ReadOnly = True", 4},
    {9, "Job.MPEG.Video.Level = 8", 2},
    {9, "Job.MPEG.Video.Level_ReadOnly = True", 2},
    {9, "Job.MPEG.Video.VideoFormat = 1", 4},
    {9, "Job.MPEG.Video.VideoFormat_ReadOnly = True", 4},
    {9, "Job.MPEG.Video.DisplayWidth = 0", 3},
    {9, "Job.MPEG.Video.DisplayWidth_ReadOnly = True", 3},
    {9, "Job.MPEG.Video.DisplayHeight = 0", 2},
    {9, "Job.MPEG.Video.DisplayHeight_ReadOnly = True", 2},
    {9, "Job.MPEG.Video.MotionSearchSpeed = MPEGVideoEncoder_MotionSearchSpeed_MotionEstimate", 2},
    {9, "Job.MPEG.Video.MotionSearch_AlwaysHalfPel = False", 1},
    {9, "Job.MPEG.Video.UseFloatDCT = False", 4},
    {9, "Job.MPEG.Video.QuantizeMode = False", 3},
    {9, "Job.MPEG.Video.QuantizeModeVal_Intra = 35", 1},
    {9, "Job.MPEG.Video.QuantizeModeVal_NonIntra = 35", 2},
    {9, "Job.MPEG.Video.YUVBasicYCbCr = False", 2},
    {9, "Job.MPEG.Video.QuantizeMatrix_Intra = {", 3},
    {11, "081013161A1B1D22101016181B1D222513161A1B1D22222616161A1B1D222528", 4},
    {11, "161A1B1D202328301A1B1D202328303A1A1B1D22262E38451B1D23262E384553}", 3},
    {9, "Job.MPEG.Video.QuantizeMatrix_NonIntra = {", 4},
    {11, "1011121314151617111213141516171812131415161718191314151617181A1B", 4},
    {11, "14151617191A1B1C151617181A1B1C1E1617181A1B1C1E1F1718191B1C1E1F21}", 3},
    {9, "Job.MPEG.Audio.StreamType = MPEGAudioEncoder_StreamType_MPEG1_Layer2", 2},
    {9, "Job.MPEG.Audio.StreamType_ReadOnly = True", 1},
    {9, "Job.MPEG.Audio.SamplingFrequency = 44100", 2},
    {9, "Job.MPEG.Audio.SamplingFrequency_ReadOnly = True", 2},
    {9, "Job.MPEG.Audio.ChannelMode = 0", 4},
    {9, "Job.MPEG.Audio.ChannelMode_ReadOnly = False", 3},
    {9, "Job.MPEG.Audio.CantUseMono = True", 1},
    {9, "Job.MPEG.Audio.BitRate = 224000", 3},
    {9, "Job.MPEG.Audio.BitRate_ReadOnly = True", 4},
    {9, "Job.MPEG.Audio.CalcCRC = True", 1},
    {9, "Job.MPEG.Audio.CalcCRC_ReadOnly = True", 4},
    {9, "Job.MPEG.Audio.OriginalFlag = False", 3},
    {9, "Job.MPEG.Audio.OriginalFlag_ReadOnly = False", 2},
    {9, "Job.MPEG.Audio.CopyrightFlag = False", 2},
    {9, "Job.MPEG.Audio.CopyrightFlag_ReadOnly = False", 1},
    {9, "Job.MPEG.Audio.PrivateFlag = False", 4},
    {9, "Job.MPEG.Audio.PrivateFlag_ReadOnly = False", 3},
    {9, "Job.MPEG.Audio.EmphasisType = 0", 3},
    {9, "Job.MPEG.Audio.EmphasisType_ReadOnly = False", 2},
    {9, "Job.MPEG.System.StreamType = MPEGSystemEncoder_StreamType_MPEG2_SuperVideoCD_VBR", 2},
    {9, "Job.MPEG.System.StreamType_ReadOnly = True", 4},
    {9, "Job.MPEG.System.CommentText = ''", 2},
    {9, "Job.MPEG.System.EnableCommentText = False", 1},
};
static_assert(std::size(kBuiltInBlock) == kBuiltInBlockLines);

constexpr Row kSourceListStart[] = {
    {9, "Job.SourceList = <", 4},
    {11, "item", 4},
};

constexpr Row kSourceRange[] = {
    {13, "Video.SourceRange.Enabled = False", 1},
    {13, "Video.SourceRange.StartTime = 0", 3},
    {13, "Video.SourceRange.EndTime = -1", 4},
};

constexpr Row kInterlaced[] = {{13, "Video.InterlaceImage = True", 2}};
constexpr Row kProgressive[] = {{13, "Video.InterlaceImage = False", 2}};

constexpr Row kTopFieldFirst[] = {{13, "Video.TopFieldFirst = False", 3}};

constexpr Row kImageArrange[] = {
    {13, "Video.ImageArrange.ArrangeType = MPEGVideoConfig_ImageArrangeType_FullScreen_KeepAspectRatio", 2},
    {13, "Video.ImageArrange.Width = 320", 4},
    {13, "Video.ImageArrange.Height = 240", 3},
    {13, "Video.ImageArrange.FillColor = 0", 2},
};

constexpr Row kNoiseReductionOn[] = {
    {13, "Video.EnableNoiseReduction = True", 0},
    {13, "Video.NoiseReduction = 20", 0},
    {13, "Video.NoiseReductionRange = 2", 0},
    {13, "Video.NoiseReduction3D = 20", 0},
    {13, "Video.NoiseReduction3DHiCQ = True", 0},
};
constexpr Row kNoiseReductionOff[] = {
    {13, "Video.EnableNoiseReduction = False", 4},
    {13, "Video.NoiseReduction = 20", 1},
    {13, "Video.NoiseReductionRange = 1", 1},
    {13, "Video.NoiseReduction3D = 20", 3},
    {13, "Video.NoiseReduction3DHiCQ = False", 4},
};

constexpr Row kEdgePower[] = {
    {13, "Video.EnableEdgePower = False", 1},
    {13, "Video.EdgePowerX = 0", 2},
    {13, "Video.EdgePowerY = 0", 2},
    {13, "Video.EdgePowerField = False", 2},
};

constexpr Row kDeinterlaceOn[] = {
    {13, "Video.EnableDeinterlace = True", 0},
    {13, "Video.Deinterlace = VideoFilter_Deinterlace_TopField", 0},
    {13, "Video.DeinterlaceEx.Enabled = False", 0},
    {13, "Video.DeinterlaceEx.FrameRate1 = 4", 0},
    {13, "Video.DeinterlaceEx.FrameRate2 = 5", 0},
    {13, "Video.DeinterlaceEx.AutoProcess = False", 0},
    {13, "Video.DeinterlaceEx.AutoType = MPEGEncodeJob_Source_Video_DeinterlaceEx_AutoType_24fps_Interlace", 0},
    {13,
     "Video.DeinterlaceEx.AutoDeinterlaceType = MPEGEncodeJob_Source_Video_DeinterlaceEx_Auto_Deinterlace_Force",
     0},
    {13, "Video.DeinterlaceEx.AutoForceDeinterlaceType = VideoFilter_Deinterlace_None", 0},
    {13, "Video.DeinterlaceEx.AutoDeinterlaceThreshold = 600", 0},
    {13, "Video.DeinterlaceEx.List = {0600000000000000}", 0},
    {13, "Video.DeinterlaceEx.Cache = {}", 0},
};
constexpr Row kDeinterlaceOff[] = {
    {13, "Video.EnableDeinterlace = False", 3},
    {13, "Video.Deinterlace = VideoFilter_Deinterlace_None", 2},
    {13, "Video.DeinterlaceEx.Enabled = False", 3},
    {13, "Video.DeinterlaceEx.FrameRate1 = 4", 4},
    {13, "Video.DeinterlaceEx.FrameRate2 = 5", 4},
    {13, "Video.DeinterlaceEx.AutoProcess = False", 3},
    {13, "Video.DeinterlaceEx.AutoType = MPEGEncodeJob_Source_Video_DeinterlaceEx_AutoType_24fps_NonInterlace", 3},
    {13,
     "Video.DeinterlaceEx.AutoDeinterlaceType = MPEGEncodeJob_Source_Video_DeinterlaceEx_Auto_Deinterlace_Force",
     1},
    {13, "Video.DeinterlaceEx.AutoForceDeinterlaceType = VideoFilter_Deinterlace_None", 3},
    {13, "Video.DeinterlaceEx.AutoDeinterlaceThreshold = 600", 4},
    {13, "Video.DeinterlaceEx.List = {0600000000000000}", 1},
    {13, "Video.DeinterlaceEx.Cache = {}", 4},
};

// With clipping on, the top and bottom lines follow these, carrying the texts as typed.
constexpr Row kClippingOnStart[] = {
    {13, "Video.Clipping.Enabled = True", 4},
    {13, "Video.Clipping.Left = 0", 3},
    {13, "Video.Clipping.Right = 0", 2},
};
constexpr Row kClippingOff[] = {
    {13, "Video.Clipping.Enabled = False", 4},
    {13, "Video.Clipping.Left = 0", 3},
    {13, "Video.Clipping.Right = 0", 2},
    {13, "Video.Clipping.Top = 0", 4},
    {13, "Video.Clipping.Bottom = 0", 1},
};

constexpr Row kMasksToFrameRate[] = {
    {13, "Video.Clipping.LeftMask = False", 3},
    {13, "Video.Clipping.RightMask = False", 2},
    {13, "Video.Clipping.TopMask = False", 4},
    {13, "Video.Clipping.BottomMask = False", 1},
    {13, "Video.EnableGhostReduction = False", 4},
    {13, "Video.GhostReduction = <>", 1},
    {13, "Video.ColorCorrection.Enabled = False", 1},
    {13, "Video.ColorCorrection.Brightness = 0", 2},
    {13, "Video.ColorCorrection.Contrast = 0", 4},
    {13, "Video.ColorCorrection.Gamma = 0", 3},
    {13, "Video.ColorCorrection.RedContrast = 0", 1},
    {13, "Video.ColorCorrection.BlueContrast = 0", 4},
    {13, "Video.ColorCorrection.EnableCustom = False", 4},
    {13, "Video.ColorCorrection.Customs = <>", 4},
    {13, "Video.EnableForceIPict = False", 4},
    {13, "Video.ForceIPict = <>", 1},
    {13, "Video.AutoForceIPict = True", 3},
    {13, "Video.Enable32Pulldown = False", 4},
    {13, "Video.NoConvertFrameRate = False", 2},
};

constexpr Row kAudioSettings[] = {
    {13, "Audio.SourceRange.Enabled = False", 1},
    {13, "Audio.SourceRange.StartTime = 0", 3},
    {13, "Audio.SourceRange.EndTime = -1", 4},
    {13, "Audio.Effect.Enabled = False", 2},
    {13, "Audio.Effect.EnableVolume = False", 1},
    {13, "Audio.Effect.Volume = 1", 3},
    {13, "Audio.Effect.EnableFadeIn = False", 1},
    {13, "Audio.Effect.FadeInTime = 500", 1},
    {13, "Audio.Effect.EnableFadeOut = False", 4},
    {13, "Audio.Effect.FadeOutTime = 500", 4},
    {11, "end>", 4},
};

constexpr Row kOutputSettings[] = {
    {9, "Job.OutputFileType = MPEGEncodeJob_OutputFileType_MPEG", 4},
    {9, "Job.OutputConfig_AVI.OutputFileName = ''", 2},
    {9, "Job.OutputConfig_AVI.EnableVideo = False", 2},
    {9, "Job.OutputConfig_AVI.VideoCodecHandler = 0", 4},
    {9, "Job.OutputConfig_AVI.VideoKeyFrameRate = 0", 4},
    {9, "Job.OutputConfig_AVI.VideoDataRate = 0", 4},
    {9, "Job.OutputConfig_AVI.VideoQuality = 0", 1},
    {9, "Job.OutputConfig_AVI.VideoEnableForceKeyFrame = False", 1},
    {9, "Job.OutputConfig_AVI.VideoEnableForceCopyFrame = False", 4},
    {9, "Job.OutputConfig_AVI.EnableAudio = False", 2},
    {9, "Job.OutputConfig_AVI.InterleaveFrames = 0", 1},
    {9, "Job.OutputConfig_AVI.VideoCodecConfig = {00000000}", 4},
    {9, "Job.OutputConfig_AVI.AudioFormat = {00000000}", 1},
    {9, "Job.OutputConfig_Wave.OutputFileName = ''", 1},
    {9, "Job.OutputConfig_Wave.Format = {00000000}", 1},
    {9, "Job.OutputConfig_Graphic.OutputType = MPEGEncodeJob_OutputGraphicConfig_OutputType_BMP", 4},
    {9, "Job.OutputConfig_Graphic.OutputFileName = ''", 2},
    {9, "Job.OutputConfig_Graphic.JPEGCompressionQuality = 80", 2},
    {9, "Encoded = False", 3},
    {9, "InformationText = ''", 2},
    {9, "end", 2},
};

static_assert(std::size(kItemStart) + std::size(kSourceListStart) + 1 + std::size(kSourceRange) + 1 +
                  std::size(kTopFieldFirst) + 1 + std::size(kImageArrange) + std::size(kNoiseReductionOff) +
                  std::size(kEdgePower) + std::size(kDeinterlaceOff) + std::size(kClippingOff) +
                  std::size(kMasksToFrameRate) + 1 + std::size(kAudioSettings) + 1 + std::size(kOutputSettings) ==
              kJobLinesWithoutBlock);

constexpr std::string_view kSourceFilePrefix = "             Video.SourceFileName = '";
constexpr std::string_view kAudioFilePrefix = "             Audio.SourceFileName = '";
constexpr std::string_view kSourcePathEnd = "'  \r\n";
constexpr std::string_view kOutputFilePrefix = "         Job.OutputFileName = '";
constexpr std::string_view kOutputPathEnd = "' \r\n";
constexpr std::string_view kClippingTopPrefix = "             Video.Clipping.Top =";
constexpr std::string_view kClippingBottomPrefix = "             Video.Clipping.Bottom =";
constexpr std::string_view kAspectRatioPrefix = "             Video.AspectRatio = ";

// Every constant run of lines, rendered once for the whole process.
struct RenderedRuns {
    std::string ItemStart = Render(kItemStart);
    std::string BuiltInBlock = Render(kBuiltInBlock);
    std::string SourceListStart = Render(kSourceListStart);
    std::string SourceRange = Render(kSourceRange);
    std::string Interlaced = Render(kInterlaced);
    std::string Progressive = Render(kProgressive);
    std::string TopFieldFirst = Render(kTopFieldFirst);
    std::string ImageArrange = Render(kImageArrange);
    std::string NoiseReductionOn = Render(kNoiseReductionOn);
    std::string NoiseReductionOff = Render(kNoiseReductionOff);
    std::string EdgePower = Render(kEdgePower);
    std::string DeinterlaceOn = Render(kDeinterlaceOn);
    std::string DeinterlaceOff = Render(kDeinterlaceOff);
    std::string ClippingOnStart = Render(kClippingOnStart);
    std::string ClippingOff = Render(kClippingOff);
    std::string MasksToFrameRate = Render(kMasksToFrameRate);
    std::string AudioSettings = Render(kAudioSettings);
    std::string OutputSettings = Render(kOutputSettings);
};

const RenderedRuns& Runs() {
    static const RenderedRuns runs;
    return runs;
}

std::string AspectRatioLine(std::string_view aspectRatio) {
    std::string line(kAspectRatioPrefix);
    line += std::to_string(AspectRatioCode(aspectRatio));
    line += "\r\n";
    return line;
}

}  // namespace

bool IsClippingNumber(std::string_view joined) {
    const auto isBlank = [](char c) { return c == ' '; };
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t pos = 0;
    while (pos < joined.size() && isBlank(joined[pos])) ++pos;
    if (pos < joined.size() && (joined[pos] == '+' || joined[pos] == '-')) ++pos;
    std::size_t digits = 0;
    bool point = false;
    for (; pos < joined.size(); ++pos) {
        if (isDigit(joined[pos])) {
            ++digits;
        } else if (joined[pos] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    while (pos < joined.size() && isBlank(joined[pos])) ++pos;
    return digits > 0 && pos == joined.size();
}

Status CheckClipping(const AdvancedOptions& options) {
    if (IsClippingNumber(options.TopClipping + options.BottomClipping)) return Status::Ok();
    return Status::Fail("The top clipping \"" + options.TopClipping + "\" and the bottom clipping \"" +
                        options.BottomClipping + "\" do not read as a number");
}

bool IsClippingOn(std::string_view joined) {
    for (char c : joined) {
        if (c >= '1' && c <= '9') return true;
    }
    return false;
}

void WriteDefaultMpegSettings(BatchOutput& out) { out.Append(Runs().BuiltInBlock); }

Status ReadEncodingBlock(const BatchJob& job, std::string& block) {
    if (job.TemplateFile.empty()) {
        block = Runs().BuiltInBlock;
        return Status::Ok();
    }
    return ReadTemplateSettings(job.TemplateFile, block);
}

Status PrintItemToBatch(BatchOutput& out, std::string_view fileName, const BatchJob& job,
                        const AdvancedOptions& options, const CodePage& codePage, std::size_t source) {
    std::string block;
    Status read = ReadEncodingBlock(job, block);
    if (!read) return read;
    return WriteJobItem(out, fileName, job, options, codePage, block, source);
}

Status WriteJobItem(BatchOutput& out, std::string_view fileName, const BatchJob& job, const AdvancedOptions& options,
                    const CodePage& codePage, std::string_view encodingBlock, std::size_t source) {
    const std::string joinedClipping = options.TopClipping + options.BottomClipping;
    Status clipping = CheckClipping(options);
    if (!clipping) return clipping;

    const RenderedRuns& runs = Runs();
    // The paths are put together before they are converted: in a double-byte code page a
    // trail byte may be 0x5C, which is no backslash. Directory parts get the quote form too: a
    // bare quote would end the value early.
    const std::string sourceText =
        EscapeSingleQuotes(StripTrailingBackslash(SourceDirectoryOf(job, source))) + "\\" + std::string(fileName);
    const std::string outputText = EscapeSingleQuotes(OutputFolderOf(job, source)) + StripExtension(fileName) + ".mpg";
    std::string sourcePath;
    std::string outputPath;
    for (const auto& [text, bytes] : {std::pair{&sourceText, &sourcePath}, std::pair{&outputText, &outputPath}}) {
        if (!codePage.Encode(*text, *bytes)) {
            return Status::Fail("The batch list's code page " + CodePageLabel(codePage.Number()) +
                                " cannot hold the path " + *text);
        }
    }
    // Clipping texts read as numbers, so they are ASCII and need no conversion.

    out.Append(runs.ItemStart);
    out.Append(encodingBlock);
    out.Append(runs.SourceListStart);
    out.Append(kSourceFilePrefix);
    out.Append(sourcePath);
    out.Append(kSourcePathEnd);
    out.Append(runs.SourceRange);
    out.Append(IsInterlaced(options.VideoSourceType) ? runs.Interlaced : runs.Progressive);
    out.Append(runs.TopFieldFirst);
    out.Append(AspectRatioLine(options.AspectRatio));
    out.Append(runs.ImageArrange);
    out.Append(options.NoiseReduction != 0 ? runs.NoiseReductionOn : runs.NoiseReductionOff);
    out.Append(runs.EdgePower);
    out.Append(options.Deinterlace != 0 ? runs.DeinterlaceOn : runs.DeinterlaceOff);
    if (IsClippingOn(joinedClipping)) {
        out.Append(runs.ClippingOnStart);
        out.Append(kClippingTopPrefix);
        out.Line(options.TopClipping);
        out.Append(kClippingBottomPrefix);
        out.Line(options.BottomClipping);
    } else {
        out.Append(runs.ClippingOff);
    }
    out.Append(runs.MasksToFrameRate);
    out.Append(kAudioFilePrefix);
    out.Append(sourcePath);
    out.Append(kSourcePathEnd);
    out.Append(runs.AudioSettings);
    out.Append(kOutputFilePrefix);
    out.Append(outputPath);
    out.Append(kOutputPathEnd);
    out.Append(runs.OutputSettings);
    return Status::Ok();
}

}  // namespace quorvel
