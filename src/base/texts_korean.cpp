// The Korean table: what the window shows when the user's interface language is Korean.
#include "base/kestrune_version.h"
#include "base/texts.h"

namespace {
const CTextEntry kKorean[] = {
    {TXT_LABEL_HINT, L"파일 리스트 (파일을 아래에 드래그 해주세요)"},
    {TXT_LABEL_FILE_REMOVE, L"파일 제거"},
    {TXT_LABEL_MEDIA_INFO, L"비디오 정보"},
    {TXT_LABEL_VIDEO_GROUP, L"영상"},
    {TXT_LABEL_INPUT_CODEC, L"입력 코덱"},
    {TXT_LABEL_OUTPUT_CODEC, L"출력 코덱"},
    {TXT_LABEL_GPU, L"GPU 가속"},
    {TXT_LABEL_GPU_COMPAT, L"GPU 가속 호환모드"},
    {TXT_LABEL_COPY_VIDEO, L"복사"},
    {TXT_LABEL_QUALITY_GROUP, L"영상 품질(용량)"},
    {TXT_LABEL_USE_VIDEO_BITRATE, L"품질"},
    {TXT_LABEL_USE_QUANTIZER, L"양자화"},
    {TXT_LABEL_AUDIO_GROUP, L"소리"},
    {TXT_LABEL_STREAM, L"스트림"},
    {TXT_LABEL_ALL_AUDIO_TRACKS, L"전체 오디오 트랙"},
    {TXT_LABEL_AUDIO_COPY, L"오디오 복사(인코딩 없음)"},
    {TXT_LABEL_AUDIO_QUALITY, L"음질"},
    {TXT_LABEL_RANGE_GROUP, L"구간"},
    {TXT_LABEL_RANGE_APPLY, L"구간 설정 적용"},
    {TXT_LABEL_RANGE_COPY, L"복사(인코딩 안함)"},
    {TXT_LABEL_RANGE_ACCURATE, L"정확도 향상(호환성 떨어짐)"},
    {TXT_LABEL_JOB_GROUP, L"작업 선택"},
    {TXT_LABEL_JOB_VIDEO_EXTRACT, L"비디오만 추출"},
    {TXT_LABEL_JOB_AUDIO_EXTRACT, L"오디오만 추출"},
    {TXT_LABEL_JOB_MERGE_FILES, L"합치기 (동영상+동영상+...)"},
    {TXT_LABEL_JOB_MERGE_VIDEO_AUDIO, L"합치기 (영상+소리)"},
    {TXT_LABEL_JOB_CONVERT, L"변환(기본)"},
    {TXT_LABEL_START, L"작업 실행"},
    {TXT_LABEL_COMMAND, L"FFmpeg 명령행"},
    {TXT_LABEL_HELP, L"도움말 :"},

    {TXT_WINDOW_TITLE, L"케스트룬 (Kestrune) v" KESTRUNE_VERSION_WIDE_TEXT},
    {TXT_BUILD_DATE, L"Build Date (2020/02/22)"},
    {TXT_QUESTION_CAPTION, L"Kestrune"},
    {TXT_AUDIO_COLUMN, L"코덱"},
    {TXT_AUDIO_ROW, L"%dk,CH=%d,%s,%s"},
    {TXT_OPEN_FILE_FILTER,
     L"Video(*.mp4)\0*.mp4;*.mkv;*.avi;*.webm\0"
     L"Audio(*.mp3)\0*.mp3;*.aac\0"
     L"All(*.*)\0*.*\0"},
    {TXT_STOP_CAPTION, L"중지"},
    {TXT_GPU_UNAVAILABLE_QUESTION, L"이 컴퓨터에서는 GPU 가속을 쓸 수 없습니다.\nGPU 가속 없이 실행할까요?"},
    {TXT_STOP_QUESTION, L"실행 중인 작업을 중지할까요?\n지금 만들고 있는 파일은 지워집니다."},
    {TXT_RUN_STATUS, L"[%d/%d] %s"},
    {TXT_RUN_REPORT, L"완료 %d, 실패 %d, 건너뜀 %d"},
    {TXT_RUN_JOIN_DONE, L", 합치기 완료"},
    {TXT_RUN_JOIN_FAILED, L", 합치기 실패"},
    {TXT_RUN_REPORT_SHORT, L", 짧음 %d"},
    {TXT_RUN_JOIN_SKIPPED, L", 합치기 안 함"},
    {TXT_RUN_JOIN_SHORT, L", 합치기 짧음"},
    {TXT_RUN_STOPPED, L", 중지됨"},
    {TXT_RUN_OUTPUT_SHORT, L"%s\n길이가 %d초뿐입니다 (%d초여야 합니다). 확인할 수 있게 파일은 남겨 둡니다."},
    {TXT_MEDIA_INFO_MISSING, L"MediaInfo.exe 파일이 없습니다. %s 에서 다운로드 하세요."},
    {TXT_GPU_CHECKING, L"이 컴퓨터에서 GPU 가속을 쓸 수 있는지 확인하는 중..."},
    {TXT_GPU_NO_ENCODER,
     L"이 컴퓨터에서는 GPU 가속(%s)을 쓸 수 없고, 이 ffmpeg 에는 대신 쓸 %s 인코더가 없습니다.\n"
     L"작업을 시작하지 않았습니다. 그 인코더가 있는 ffmpeg 를 쓰거나 다른 출력 코덱을 고르세요."},
    {TXT_CONSOLE_HOST_MISSING,
     L"kestrune-cli.exe 파일이 없습니다: %s\n창의 모든 명령은 이 파일로 실행되므로 작업을 시작하지 "
     L"않았습니다. 같은 버전의 kestrune-cli.exe 를 kestrune.exe 가 있는 프로그램 폴더에 복사하거나 "
     L"케스트룬을 다시 설치하세요."},

    {TXT_INSTALL_FFMPEG_MESSAGE, L"FFmpeg.exe 파일이 없습니다. \n%s 에서 다운로드 하세요."},
    {TXT_INSTALL_MEDIAINFO_MESSAGE, L"MediaInfo.exe 파일이 없습니다. '%s' 에서 다운로드 하세요."},
    {TXT_INSTALL_BUTTON, L"설치"},
    {TXT_INSTALL_ALREADY_THERE, L"OK! 설치 완료"},
    {TXT_INSTALL_SUCCEEDED, L"OK! 설치 성공"},
    {TXT_INSTALL_FAILED, L"Error!! 설치 실패"},
    {TXT_INSTALL_REFUSE_ADDRESS_NOT_HTTPS,
     L"다운로드 주소가 HTTPS 가 아니어서 내려받지 않았습니다: %s\n(HTTP 주소는 이 컴퓨터 안의 주소만 "
     L"씁니다.)"},
    {TXT_INSTALL_REFUSE_DOWNLOAD_FAILED, L"내려받지 못했습니다: %s"},
    {TXT_INSTALL_REFUSE_REDIRECT_NOT_HTTPS, L"서버가 HTTPS 가 아닌 주소로 보내서 내려받지 않았습니다: %s"},
    {TXT_INSTALL_REFUSE_CHECKSUM_LIST_MISSING,
     L"SHA-256 목록을 받지 못해 내려받은 파일을 확인할 수 없으므로 설치하지 않았습니다: %s"},
    {TXT_INSTALL_REFUSE_CHECKSUM_NOT_LISTED, L"%s 파일이 SHA-256 목록에 없어서 설치하지 않았습니다."},
    {TXT_INSTALL_REFUSE_CHECKSUM_MISMATCH,
     L"%s 파일의 SHA-256 값이 목록과 다릅니다 (손상되었거나 바뀐 파일). 설치하지 않았습니다."},
    {TXT_INSTALL_REFUSE_NAME_TAKEN,
     L"프로그램 폴더에 케스트룬이 내려받지 않은 %s 파일이 있습니다. 다른 곳으로 옮긴 뒤 다시 설치하세요."},
    {TXT_INSTALL_REFUSE_WRITE_FAILED, L"프로그램 폴더에 쓸 수 없습니다: %s"},
    {TXT_INSTALL_REFUSE_ARCHIVE_DAMAGED, L"%s 파일의 압축을 풀 수 없습니다 (손상된 zip 파일)."},
    {TXT_INSTALL_REFUSE_PROGRAM_NOT_IN_ARCHIVE, L"%s 파일에 %s 이(가) 없습니다."},

    {TXT_REFUSE_NEED_TWO_FILES, L"합치기위해 최소 두개의 파일이 필요합니다."},
    {TXT_REFUSE_NEED_VIDEO_AND_AUDIO, L"영상과 소리 파일이 1개씩 필요합니다."},
    {TXT_REFUSE_MEDIA_INFO_ERROR, L"미디어 정보 에러."},
    {TXT_REFUSE_EMPTY_ENTRY,
     L"합칠 파일 목록에 빈 항목이 있습니다 (the list of files to join has an empty entry)."},
    {TXT_REFUSE_NO_EXTENSION,
     L"확장자가 없는 파일은 합칠 수 없습니다 (a file to join needs an extension): %s"},
    {TXT_REFUSE_JOINED_EXTENSION,
     L"합친 파일에 이 확장자를 쓸 수 없습니다 (the joined file cannot take the extension of): %s"},
    {TXT_REFUSE_CONCAT_SEPARATOR,
     L"이름에 '|' 가 든 파일은 합칠 수 없습니다 (a file whose name holds '|' cannot be joined): %s"},
    {TXT_REFUSE_CONCAT_SEPARATOR_FOLDER,
     L"이름에 '|' 가 든 폴더에는 합칠 파일을 쓸 수 없습니다 (the files of a join cannot be written to a "
     L"folder whose "
     L"name holds '|'): %s"},
    {TXT_REFUSE_STALE_PREVIEW,
     L"합치기 (영상+소리) 명령이 지금 파일 목록과 출력 폴더로 만들어지지 않았습니다. 작업을 다시 "
     L"선택하세요.\n"
     L"(The video-and-audio merge command was not built for the current file list and output folder; choose "
     L"the job again.)"},

    {TXT_LABEL_FILE_ADD, L"파일 추가"},
    {TXT_LABEL_DOWNMIX, L"2채널 전환"},
    {TXT_LABEL_PIXEL_FORMAT, L"픽셀포맷호환"},
    {TXT_LABEL_FORCE_AUDIO, L"강제 인코딩"},
    {TXT_LABEL_OUTPUT_FOLDER, L"출력 폴더"},
    {TXT_LABEL_BROWSE, L"찾아보기..."},
    {TXT_LABEL_KEEP_DATES, L"원본 날짜 유지"},
    {TXT_LABEL_WHEN_DONE, L"완료 후"},
    {TXT_WHEN_DONE_NOTHING, L"안 함"},
    {TXT_WHEN_DONE_CLOSE, L"창 닫기"},
    {TXT_WHEN_DONE_SLEEP, L"절전"},
    {TXT_WHEN_DONE_SHUT_DOWN, L"시스템 종료"},
    {TXT_COUNTDOWN_SLEEP, L"작업이 모두 끝났습니다.\n%d초 뒤에 컴퓨터를 절전 모드로 전환합니다."},
    {TXT_COUNTDOWN_SHUT_DOWN, L"작업이 모두 끝났습니다.\n%d초 뒤에 컴퓨터를 끕니다."},
    {TXT_COUNTDOWN_CANCEL, L"취소"},
    {TXT_SLEEP_FAILED, L"컴퓨터를 절전 모드로 전환하지 못했습니다."},
    {TXT_SHUT_DOWN_FAILED, L"컴퓨터를 끄지 못했습니다."},
    {TXT_OUTPUT_FOLDER_PICK, L"출력 파일을 넣을 폴더를 고르세요."},
    {TXT_OUTPUT_FOLDER_MISSING, L"출력 폴더가 없습니다: %s\n작업을 시작하지 않았습니다."},
    {TXT_OUTPUT_FOLDER_NOT_WRITABLE, L"출력 폴더에 파일을 만들 수 없습니다: %s\n작업을 시작하지 않았습니다."},
    {TXT_OUTPUT_FOLDER_NOT_FULL_PATH,
     L"출력 폴더는 드라이브부터 전체 경로로 적어 주세요 (예: D:\\영상): %s\n작업을 시작하지 않았습니다."},
    {TXT_INSTALL_REFUSE_MEMBER_TOO_LARGE,
     L"압축 파일 안의 %s 파일이 머리글에 적힌 크기보다 커서 (손상되었거나 악의적인 파일) 설치하지 "
     L"않았습니다."},
    {TXT_INSTALL_REFUSE_ARCHIVE_TOO_LARGE,
     L"%s 파일을 풀면 1 GB 또는 파일 1000개를 넘으므로 설치하지 않았습니다."},
    {TXT_INSTALL_REFUSE_RESERVED_NAME,
     L"압축 파일에 Windows 가 장치 이름으로 쓰는 (또는 점이나 공백으로 끝나는) 이름의 파일 %s 이(가) 있어서 "
     L"설치하지 않았습니다."},
    {TXT_INSTALL_REFUSE_NOT_ACCEPTED,
     L"%s 파일은 이 케스트룬 버전이 받아들이는 파일이 아니어서 (SHA-256 값이 프로그램에 없음) 설치하지 "
     L"않았습니다. 조직이 만든 빌드는 관리자가 HKEY_LOCAL_MACHINE\\Software\\Kestrune 의 download_sums "
     L"값에 SHA-256 값을 넣어 허용할 수 있습니다."},
    {TXT_LABEL_FOLDER_ADD, L"폴더 추가"},
    {TXT_FOLDER_ADD_PICK, L"폴더를 고르세요. 그 안의 동영상과 오디오 파일을 목록에 넣습니다."},
    {TXT_FOLDERS_UNREADABLE, L"다음 폴더를 읽을 수 없어 그 안의 파일은 넣지 않았습니다:\n%s"},
    {TXT_FOLDER_NO_MEDIA, L"이 폴더 아래에 동영상이나 오디오 파일이 없습니다:\n%s"},
};
}  // namespace

const CTextTable& KoreanTexts() {
  static const CTextTable table{kUiLanguageKorean, kKorean, sizeof kKorean / sizeof kKorean[0]};
  return table;
}
