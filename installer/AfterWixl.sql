-- What wixl 0.101 does not write itself, applied to its package with msibuild, one statement a
-- line: the custom actions' places in the sequence (wixl ignores Sequence and misplaces After),
-- the removal of the Start-menu folder and of the simulator's default log on uninstall, and the
-- properties IT may pass to a per-machine install.
UPDATE InstallExecuteSequence SET Sequence = 1010 WHERE Action = 'RefuseRunningStation32'
UPDATE InstallExecuteSequence SET Sequence = 1015 WHERE Action = 'RefuseRunningStation64'
UPDATE InstallExecuteSequence SET Sequence = 1020 WHERE Action = 'RefuseSimulatorBesideRobotLibrary32'
UPDATE InstallExecuteSequence SET Sequence = 1025 WHERE Action = 'RefuseSimulatorBesideRobotLibrary64'
UPDATE InstallExecuteSequence SET Sequence = 1390 WHERE Action = 'CloseRunningStation32'
UPDATE InstallExecuteSequence SET Sequence = 1395 WHERE Action = 'CloseRunningStation64'
UPDATE InstallExecuteSequence SET Sequence = 3510 WHERE Action = 'RemoveStationKey32'
UPDATE InstallExecuteSequence SET Sequence = 3515 WHERE Action = 'RemoveStationKey64'
UPDATE InstallExecuteSequence SET Sequence = 4010 WHERE Action = 'GrantStationKeyData32'
UPDATE InstallExecuteSequence SET Sequence = 4015 WHERE Action = 'GrantStationKeyData64'
UPDATE InstallExecuteSequence SET Sequence = 4020 WHERE Action = 'GrantStationKey32'
UPDATE InstallExecuteSequence SET Sequence = 4025 WHERE Action = 'GrantStationKey64'
UPDATE InstallExecuteSequence SET Sequence = 6610 WHERE Action = 'TellWhereRobotLibraryGoes32'
UPDATE InstallExecuteSequence SET Sequence = 6615 WHERE Action = 'TellWhereRobotLibraryGoes64'
INSERT INTO RemoveFile (FileKey, Component_, DirProperty, InstallMode) VALUES ('MenuFolder', 'Station', 'MenuFolder', 2)
INSERT INTO RemoveFile (FileKey, Component_, FileName, DirProperty, InstallMode) VALUES ('SimulatorLog', 'Simulator', 'vtrobots-sim.log', 'INSTALLDIR', 2)
UPDATE Property SET Value = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;STATIONUSERS;KEEPSTATIONKEY;INSTALLDIR' WHERE Property = 'SecureCustomProperties'
