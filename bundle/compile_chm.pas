{ Compiles a help project (.hhp) into a .chm with Free Pascal's CHM library:

    compile_chm PROJECT.hhp

  It is chmcmd with one difference. chmcmd 3.2.2 records every topic that a
  help context number opens under the absolute path of the project folder
  ("/home/b/build/help-stage/stop.htm"), so the help viewer, asked for a
  context number, looks for a page that is not in the file, and the file
  names the folder it was built in. Here the context topics are recorded
  under the names the help project gives them ("stop.htm"), as the pages
  themselves are stored.

  Errors and warnings (a missing file, a link to a page that is not there)
  go to standard error and end the program with status 1: a help file with
  dead links is a broken build. }
program compile_chm;

{$mode objfpc}{$H+}

uses
  // The index and the full-text search hold their words as wide strings.
  {$ifdef unix}cwstring,{$endif}
  Classes, SysUtils, chmfilewriter, chmwriter, chmsitemap;

type
  THelpProject = class(TChmProject)
  public
    procedure WriteChm(AOutStream: TStream); override;
  end;

var
  ProblemsReported: Integer = 0;

procedure THelpProject.WriteChm(AOutStream: TStream);
var
  Writer: TChmWriter;
  Contents: TChmSiteMap;
  Node: TChmContextNode;
  I: Integer;
begin
  LoadSitemaps;
  if ScanHtmlContents then
    ScanHtml;
  Contents := nil;
  Writer := TChmWriter.Create(AOutStream, False);
  try
    Writer.OnGetFileData := @GetData;
    Writer.OnLastFile := @LastFileAdded;
    Writer.FilesToCompress.AddStrings(Files);
    Writer.FilesToCompress.AddStrings(OtherFiles);
    Writer.DefaultPage := DefaultPage;
    Writer.Title := Title;
    Writer.DefaultFont := DefaultFont;
    Writer.DefaultWindow := DefaultWindow;
    Writer.LocaleID := LocaleID;
    Writer.FullTextSearch := MakeSearchable;
    Writer.HasBinaryTOC := MakeBinaryTOC;
    Writer.HasBinaryIndex := MakeBinaryIndex;
    Writer.TocName := TableOfContentsFileName;
    Writer.IndexName := IndexFileName;
    if Windows.Count > 0 then
      Writer.Windows := Windows;
    for I := 0 to Files.Count - 1 do
    begin
      if not FileExists(ProjectDir + Files[I]) then
        Error(chmwarning, 'File ' + Files[I] + ' does not exist');
      Node := TChmContextNode(Files.Objects[I]);
      if Assigned(Node) and (Node.ContextNumber <> 0) then
        Writer.AddContext(Node.ContextNumber, Files[I]);
    end;
    // The table of contents also gives the topics their titles.
    if TableOfContentsFileName <> '' then
    begin
      Contents := TChmSiteMap.Create(stTOC);
      Contents.LoadFromFile(ProjectDir + ExtractFileName(TableOfContentsFileName));
      Writer.TocSitemap := Contents;
    end;
    Writer.Execute;
  finally
    Writer.Free;
    Contents.Free;
  end;
end;

procedure Report(Project: TChmProject; Kind: TChmProjectErrorKind; Msg: String; DetailLevel: Integer);
begin
  if Kind in [chmerror, chmwarning] then
  begin
    WriteLn(StdErr, ChmErrorKindText[Kind], ': ', Msg);
    Inc(ProblemsReported);
  end;
end;

var
  Project: THelpProject;
  Output: TFileStream;
begin
  if ParamCount <> 1 then
  begin
    WriteLn(StdErr, 'Usage: compile_chm PROJECT.hhp');
    Halt(2);
  end;
  Project := THelpProject.Create;
  try
    Project.OnError := @Report;
    Project.LoadFromhhp(ParamStr(1), False);
    if Project.OutputFileName = '' then
    begin
      WriteLn(StdErr, 'Error: ', ParamStr(1), ' names no compiled file');
      Halt(1);
    end;
    Output := TFileStream.Create(Project.ProjectDir + Project.OutputFileName, fmCreate);
    try
      Project.WriteChm(Output);
    finally
      Output.Free;
    end;
    Project.ShowUndefinedAnchors;
  finally
    Project.Free;
  end;
  if ProblemsReported > 0 then
    Halt(1);
end.
