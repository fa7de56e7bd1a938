// The engine's Japanese texts as Shift-JIS bytes (the engine works on Shift-JIS); the comment
// beside each gives it in readable form.
#pragma once

// clang-format off
namespace plotwright {

inline constexpr const char* kNameFirstGeneration = "\x8f\xac\x90\xe0\x90\xb6\x90\xac\x8f\x89\x89\xf1";  // 小説生成初回
inline constexpr const char* kNameStartMessage = "\x8a" "J\x8e" "n\x83\x81\x83" "b\x83Z\x81[\x83W";  // 開始メッセージ
inline constexpr const char* kNameChapterNumber = "\x8f\xcd\x94\xd4\x8d\x86";  // 章番号
inline constexpr const char* kNameParagraph = "\x92i\x97\x8e";  // 段落
inline constexpr const char* kNameDummy = "\x83_\x83~\x81[";  // ダミー
inline constexpr const char* kNameLastMessage = "\x8fI\x97\xb9\x83\x81\x83" "b\x83Z\x81[\x83W";  // 終了メッセージ
inline constexpr const char* kNameEnd = "\x8fI\x97\xb9";  // 終了
inline constexpr const char* kNameInterruption = "\x92\x86\x92" "f\x83\x81\x83" "b\x83Z\x81[\x83W";  // 中断メッセージ
inline constexpr const char* kNameGameEnd = "\x83Q\x81[\x83\x80\x8fI\x97\xb9\x83\x81\x83" "b\x83Z\x81[\x83W";  // ゲーム終了メッセージ
inline constexpr const char* kNameUnitEnd = "\x83V\x83i\x83\x8a\x83I\x88\xea\x92P\x88\xca\x8fI\x97\xb9\x8f\x88\x97\x9d";  // シナリオ一単位終了処理
inline constexpr const char* kNameEndDummy = "\x8fI\x97\xb9\x83_\x83~\x81[";  // 終了ダミー
inline constexpr const char* kNameNewGeneration = "\x90V\x8b" "K\x8f\xac\x90\xe0\x90\xb6\x90\xac";  // 新規小説生成
inline constexpr const char* kNameRandomGeneration = "\x8f\xac\x90\xe0\x83\x89\x83\x93\x83_\x83\x80\x90\xb6\x90\xac";  // 小説ランダム生成
inline constexpr const char* kNameGenerationEntry = "Vell\x8c\xbe\x8c\xea\x8f\xac\x90\xe0\x90\xb6\x90\xac";  // Vell言語小説生成
inline constexpr const char* kNameMissingDiagnostic = "\x83V\x83i\x83\x8a\x83I\x96\xbc\x82\xaa\x8e" "w\x92\xe8\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";  // シナリオ名が指定されていません
inline constexpr const char* kDummyBodyLine = "[\x83_\x83~\x81[=\x83_\x83~\x81[]";  // [ダミー=ダミー]

}  // namespace plotwright
// clang-format on
