-- Schema of the summer and winter games databases. Text columns compare without regard to
-- letter case; the library supplies the folding for Cyrillic as well as Latin.
create table agon_meta(name text primary key, value text);
insert into agon_meta values ('password', 'tulk');

-- One row per edition of the games.
create table Agoniada(idAgon integer primary key, Agon text collate nocase);

-- One row per placing: pol is 0 for mixed or team events, 1 men, -1 women; disciplina 0 means
-- the kind of sport has no disciplines.
create table chemp(
  idAgon integer references Agoniada(idAgon),
  vid text collate nocase,
  disciplina text collate nocase,
  pol integer,
  mesto real,
  name text collate nocase,
  countries text collate nocase,
  result text collate nocase);
create index chemp_by_edition on chemp(idAgon);
